#!/usr/bin/env bash
# Builds Kavel (installing what it needs) and runs every test, twice: in the
# current locale and in French (fr_FR.UTF-8).
#   ./test.sh            normal build in build/
#   ./test.sh --sanitize AddressSanitizer + UndefinedBehaviorSanitizer build in build-asan/
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)

build=build
args=()
if [ "${1:-}" = "--sanitize" ]; then
  build=build-asan
  args=(-DKAVEL_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug)
fi

"$root/scripts/setup.sh" "$build" "${args[@]}"
cd "$root/$build"
# Once in the environment as it is, once as on a French desktop, where the
# C library's decimal point is a comma.
echo "== Tests, locale ${LC_ALL:-${LANG:-C}}"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)"
echo "== Tests, locale fr_FR.UTF-8"
LANG=fr_FR.UTF-8 LC_ALL=fr_FR.UTF-8 QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)"
