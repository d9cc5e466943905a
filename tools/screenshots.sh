#!/usr/bin/env bash
# Saves PNG pictures of Lumidex2's windows (main window with English and Japanese menus, every
# tab of the options window, the about box, the folder and picture dialogs, the progress window,
# both previews in both languages and at 640 pixels wide, the picture viewer)
# into the folder given as argument. Runs the program under Xvfb on a small catalogue that it
# makes in a temporary settings folder.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
out="${1:?usage: tools/screenshots.sh OUTPUT-FOLDER}"
mkdir -p "$out"
out="$(cd "$out" && pwd)"
source "$here/tools/deps.sh"
lumidex2_ensure_deps xvfb
build="${LUMIDEX2_BUILD:-$here/build/release}"
if [[ ! -f "$build/build.ninja" ]]; then
    cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
cmake --build "$build" -j "$(nproc)" --target lumidex2-screenshots >&2
home="$(mktemp -d)"
trap 'rm -rf "$home"' EXIT
LUMIDEX2_HOME="$home" QT_QPA_PLATFORM=xcb \
    xvfb-run -a -s "-screen 0 1280x900x24" "$build/src/app/lumidex2-screenshots" "$out"
# The region window ("Sub Index Manager") over a generated photograph with two regions.
cmake --build "$build" -j "$(nproc)" --target lumidex2_tpview_screenshot >&2
LUMIDEX2_HOME="$home" QT_QPA_PLATFORM=xcb \
    xvfb-run -a -s "-screen 0 1280x900x24" "$build/src/catalogue/lumidex2_tpview_screenshot" \
    "$out/region-window.png"
