#!/usr/bin/env bash
# The package as a lab gets it, on this machine: installs dist/tavelio_*.deb with apt (which
# pulls in what it needs), runs the installed-package tests of debian/tests as new users
# without root (two students' sessions; two teachers publishing for two students), installs the
# package again over itself as an upgrade does, checking that the class's photographs stay,
# and purges it, checking that none of its files is left, nor the class folder. Last it installs
# and purges it once more where the site already has an ordinary group tavelio, as a directory
# service gives one.
#
#   scripts/acceptance.sh [BUILD_DIR]    # after scripts/package.sh; root or sudo
#
# BUILD_DIR (e.g. build-deb) lends the test its image checker instead of building one.
set -euo pipefail
cd "$(dirname "$0")/.."

sudo=()
[[ $(id -u) -eq 0 ]] || sudo=(sudo)
apt_get() {
  # apt may be busy for a while with another installation.
  for attempt in 1 2 3 4 5 6 7 8 9 10; do
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get -y -qq "$@" && return 0
    echo "acceptance: apt-get ocupado, de nuevo en 15 s ($attempt)" >&2
    sleep 15
  done
  return 1
}

deb=$(ls dist/tavelio_*.deb)
apt_get install --no-install-recommends "./$deb" >/dev/null
mapfile -t files < <(dpkg -L tavelio)
status=0
"${sudo[@]}" bash debian/tests/student-session "${1:-}" || status=$?
"${sudo[@]}" bash debian/tests/class-photos || status=$?

# An upgrade runs the maintainer scripts again: the class folder and its photographs stay.
class=/var/lib/tavelio/fotos
"${sudo[@]}" cp /usr/share/tavelio/drive_c/qor/ejecutable/auxiliares/camera.BMP "$class/aceptacion.BMP"
apt_get install --reinstall --no-install-recommends "./$deb" >/dev/null
if [[ ! -f "$class/aceptacion.BMP" || "$(stat -c %U:%G:%a "$class")" != root:tavelio:2775 ]]; then
  echo "acceptance: la actualización no conserva la carpeta de la clase" >&2
  status=1
fi
apt_get purge tavelio >/dev/null
# The class folder is the package's state: a purge takes it. The group stays (see postrm).
files+=(/var/lib/tavelio)

# A site whose directory already has a group tavelio, not a system one: the package takes it.
# The group the first installation left (or none) comes back afterwards.
left_group=$(getent group tavelio || true)
[[ -z "$left_group" ]] || "${sudo[@]}" groupdel tavelio
"${sudo[@]}" groupadd tavelio # an ordinary group, from GID_MIN up
site_gid=$(getent group tavelio | cut -d: -f3)
apt_get install --no-install-recommends "./$deb" >/dev/null || true
if [[ "$(dpkg-query -W -f='${Status}' tavelio 2>/dev/null)" != "install ok installed" \
  || "$(stat -c %U:%G:%a "$class" 2>/dev/null)" != root:tavelio:2775 \
  || "$(getent group tavelio | cut -d: -f3)" != "$site_gid" ]]; then
  echo "acceptance: no se instala donde ya hay un grupo tavelio normal (GID $site_gid)" >&2
  status=1
fi
apt_get purge tavelio >/dev/null
"${sudo[@]}" groupdel tavelio
if [[ -n "$left_group" ]]; then
  IFS=: read -r _ _ gid members <<<"$left_group"
  "${sudo[@]}" groupadd --system --gid "$gid" tavelio
  [[ -z "$members" ]] || "${sudo[@]}" gpasswd -M "$members" tavelio
fi

left=()
for file in "${files[@]}"; do
  # Shared folders (/usr/bin...) stay; the package's own folders and every file must go.
  if [[ -L "$file" || -f "$file" ]] || [[ -d "$file" && "$file" == */tavelio* ]]; then
    left+=("$file")
  fi
done
if ((${#left[@]})); then
  printf 'acceptance: quedan archivos del paquete tras purgarlo:\n' >&2
  printf '  %s\n' "${left[@]}" >&2
  exit 1
fi
((status == 0)) || exit "$status"
echo "acceptance: instalado, usado por 2 profesores y 2 alumnos sin root, actualizado, purgado sin dejar nada, e instalado sobre un grupo tavelio normal"
