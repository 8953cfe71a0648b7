#!/usr/bin/env bash
# Fuzzes the PNM reader with libFuzzer under AddressSanitizer and UndefinedBehaviorSanitizer.
#
#   scripts/fuzz.sh            # about a minute
#   FUZZ_SECONDS=600 scripts/fuzz.sh
#
# Builds fuzz/pnm_fuzz.cpp with the release's clang into build-fuzz/ (FUZZ_BUILD_DIR to change
# it), then runs it on the seed corpus fuzz/corpus; new inputs it finds go to fuzz/corpus-run/
# (not committed). A crash leaves crash-* in the current folder and makes this script fail:
# add that file to fuzz/corpus once the reader is fixed, so the test suite replays it.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${FUZZ_BUILD_DIR:-$root/build-fuzz}
seconds=${FUZZ_SECONDS:-60}
mkdir -p "$build" "$root/fuzz/corpus-run"

clang++ -std=c++20 -g -O1 \
  -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -I"$root/imaging" -I"$root/platform" \
  "$root/fuzz/pnm_fuzz.cpp" "$root/imaging/pnm.cpp" "$root/platform/dospath.cpp" \
  "$root/platform/asciitext.cpp" "$root/platform/oserror.cpp" "$root/platform/stagedfile.cpp" \
  -o "$build/pnm_fuzz"

# Inputs up to 4 KiB reach every header path and whole small rasters; the reader refuses a
# header promising more pixels than the file holds before allocating, so memory stays small.
"$build/pnm_fuzz" -max_total_time="$seconds" -max_len=4096 -rss_limit_mb=1024 \
  -dict="$root/fuzz/pnm.dict" -print_final_stats=1 \
  "$root/fuzz/corpus-run" "$root/fuzz/corpus"
