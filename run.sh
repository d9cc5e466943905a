#!/usr/bin/env bash
# Installs what is missing, builds Release and starts Lumidex2 with the arguments given.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
cd "$here"
source tools/deps.sh
lumidex2_ensure_deps
cmake --preset release >/dev/null
cmake --build --preset release -j "$(nproc)" >&2
if [[ -x build/release/src/app/lumidex2 ]]; then
    exec build/release/src/app/lumidex2 "$@"
fi
exec build/release/src/cli/lumidex2-cli "$@"
