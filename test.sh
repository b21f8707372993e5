#!/usr/bin/env bash
# Builds Kavel (installing what it needs) and runs every test.
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
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)"
