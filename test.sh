#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test through CTest.
#   ./test.sh              Release build
#   ./test.sh --sanitize   the same tests built with AddressSanitizer and UBSan
set -euo pipefail
cd "$(dirname "$0")"
source tools/deps.sh

preset=release
for arg in "$@"; do
    case "$arg" in
        --sanitize) preset=sanitize ;;
        --debug) preset=debug ;;
        *) echo "usage: ./test.sh [--sanitize|--debug]" >&2; exit 2 ;;
    esac
done

lumidex2_ensure_deps
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" -j "$(nproc)"
if [[ $preset == release ]]; then
    ln -sf "build/$preset/compile_commands.json" compile_commands.json
fi
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
export QT_QPA_PLATFORM=offscreen
ctest --preset "$preset" -j "$(nproc)" --timeout 600
