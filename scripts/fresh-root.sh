#!/usr/bin/env bash
# Runs the README's two commands as a new lab machine would: in a new minimal root of a Debian
# release (the minbase variant, made by mmdebstrap), with nothing installed beforehand.
#
#   scripts/fresh-root.sh bookworm|trixie
#
# First the run command, scripts/run.sh, whose window must come up on a private Xvfb of this
# machine (its picture is left in dist/fresh-root-SUITE.png); then, in the same root, the test
# command, scripts/test.sh. Each prints its time. Needs root (chroot, mounts).
#
# The archive is this machine's own, read from its apt sources (TAVELIO_MIRROR names another):
# a lab often has a mirror of its own. The bare minbase root of each release is kept in
# TAVELIO_ROOT_CACHE (default /var/cache/tavelio/fresh-root) for a week and copied for each run;
# nothing installed into a run's copy is ever kept. TAVELIO_KEEP_ROOT=1 keeps the copy.
set -euo pipefail
cd "$(dirname "$0")/.."
project=$PWD

suite=${1:-}
if [[ "$suite" != bookworm && "$suite" != trixie ]]; then
  echo "uso: scripts/fresh-root.sh bookworm|trixie" >&2
  exit 2
fi
if [[ $(id -u) -ne 0 ]]; then
  echo "fresh-root: hace falta root (chroot y montajes)" >&2
  exit 2
fi
# One run at a time on a machine: the roots share its kernel, so the users the acceptance makes
# in each get the same numbers, and one root's "pkill -u" at its end kills the other's session.
exec 9>/run/lock/tavelio-fresh-root.lock
flock 9

# This machine's side: what makes the root and what shows its window.
host_packages=(mmdebstrap xvfb xdotool x11-utils imagemagick)
missing=()
for package in "${host_packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "ok installed" \
    || missing+=("$package")
done
if ((${#missing[@]})); then
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The Debian archive and its security archive, as this machine's apt sources name them.
archive_uri() {
  apt-get indextargets --format '$(REPO_URI) $(LABEL)' "Created-By: Packages" \
    | awk -v label="$1" '$2 == label { print $1; exit }'
}
mirror=${TAVELIO_MIRROR:-$(archive_uri Debian)}
security=$(archive_uri Debian-Security)
if [[ -z "$mirror" ]]; then
  echo "fresh-root: las fuentes de apt de esta máquina no nombran ningún archivo de Debian" >&2
  echo "  (ejecute apt-get update, o dé TAVELIO_MIRROR)" >&2
  exit 1
fi
sources=("deb $mirror $suite main" "deb $mirror $suite-updates main")
[[ -n "$security" ]] && sources+=("deb $security $suite-security main")

# The bare root, made again when older than a week or made from other sources.
cache=${TAVELIO_ROOT_CACHE:-/var/cache/tavelio/fresh-root}
base="$cache/$suite.tar"
mkdir -p "$cache"
if [[ ! -s "$base" || "$(cat "$base.sources" 2>/dev/null)" != "${sources[*]}" ]] \
  || [[ -n $(find "$base" -mtime +6) ]]; then
  echo "fresh-root: raíz mínima de $suite desde $mirror"
  mmdebstrap --quiet --variant=minbase --format=tar "$suite" "$base.tmp" "${sources[@]}"
  mv "$base.tmp" "$base"
  printf '%s' "${sources[*]}" >"$base.sources"
fi

work=$(mktemp -d /var/tmp/tavelio-fresh-root.XXXXXX)
root="$work/root"
mounts=()
display_pid=""
# Sends signal $1 to every process whose root is the copy.
signal_root() {
  local pid
  for pid in $(ls /proc | grep -E '^[0-9]+$'); do
    [[ "$(readlink "/proc/$pid/root" 2>/dev/null)" == "$root" ]] && kill "-$1" "$pid" 2>/dev/null
  done
  return 0
}
cleanup() {
  # Whatever still runs inside the root goes first, then the mounts, then the copy.
  signal_root KILL
  [[ -n "$display_pid" ]] && kill "$display_pid" 2>/dev/null
  local i
  for ((i = ${#mounts[@]} - 1; i >= 0; i--)); do
    umount "${mounts[i]}" 2>/dev/null || umount -l "${mounts[i]}" 2>/dev/null || true
  done
  if [[ -n "${TAVELIO_KEEP_ROOT:-}" ]]; then
    echo "fresh-root: la raíz queda en $root"
  else
    rm -rf --one-file-system "$work"
  fi
}
trap cleanup EXIT

mkdir -p "$root"
tar -C "$root" -xf "$base"
cp /etc/resolv.conf "$root/etc/resolv.conf"
mount_in() { # TYPE-OR---bind SOURCE TARGET
  mkdir -p "$root$3"
  if [[ "$1" == --bind ]]; then mount --bind "$2" "$root$3"; else mount -t "$1" "$2" "$root$3"; fi
  mounts+=("$root$3")
}
mount_in proc proc /proc
mount_in sysfs sys /sys
mount_in --bind /dev /dev
mount_in --bind /dev/pts /dev/pts
mount_in tmpfs shm /dev/shm

# The project as a clone has it: the files git knows, as they are in this work tree.
mkdir -p "$root/root/tavelio"
git -C "$project" ls-files -z --cached --others --exclude-standard \
  | (cd "$project" && tar --null --ignore-failed-read -T - -cf - 2>/dev/null) \
  | tar -C "$root/root/tavelio" -xf -

in_root() {
  chroot "$root" /usr/bin/env -i HOME=/root LANG=C.UTF-8 TERM=dumb \
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin "$@"
}
mkdir -p dist
started=$SECONDS

# The run command, on an X server of this machine whose socket the root is lent.
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1280x900x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
display_pid=$!
for _ in $(seq 100); do [[ -s "$work/display" ]] && break; sleep 0.1; done
display=":$(head -n1 "$work/display")"
mount_in --bind /tmp/.X11-unix /tmp/.X11-unix
in_root DISPLAY="$display" bash -c 'cd /root/tavelio && exec bash scripts/run.sh' \
  >"$work/run.log" 2>&1 &
run_pid=$!
until DISPLAY=$display xdotool search --onlyvisible --name '^Tavelio$' >/dev/null 2>&1; do
  if ! kill -0 "$run_pid" 2>/dev/null; then
    tail -n 30 "$work/run.log" >&2
    echo "fresh-root: $suite: la orden de ejecución terminó sin abrir la ventana" >&2
    exit 1
  fi
  if ((SECONDS - started > 1800)); then
    tail -n 30 "$work/run.log" >&2
    echo "fresh-root: $suite: ninguna ventana en 30 minutos" >&2
    exit 1
  fi
  sleep 1
done
sleep 2 # the first paint
DISPLAY=$display import -window root "dist/fresh-root-$suite.png"
run_seconds=$((SECONDS - started))
echo "fresh-root: $suite: orden de ejecución: ventana en ${run_seconds} s (dist/fresh-root-$suite.png)"
signal_root TERM
wait "$run_pid" 2>/dev/null || true
umount "$root/tmp/.X11-unix" && unset 'mounts[-1]'
# The test command's X servers must not meet this one, even through its abstract socket.
kill "$display_pid" && wait "$display_pid" 2>/dev/null || true
display_pid=""

# The test command, in the same root.
started=$SECONDS
in_root CI="${CI:-}" bash -c 'cd /root/tavelio && exec bash scripts/test.sh'
echo "fresh-root: $suite: orden de pruebas: $((SECONDS - started)) s"
echo "fresh-root: $suite: ejecución ${run_seconds} s, pruebas $((SECONDS - started)) s"
