#!/usr/bin/env bash
# Builds Kavel (installing what it needs) and starts it.
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
"$root/scripts/setup.sh" build
exec "$root/build/bin/kavel" "$@"
