#!/usr/bin/env bash
# Saves PNG pictures of Lumidex2's windows (main window with English and Japanese menus, every
# tab of the options window, the about box, the folder and picture dialogs, the progress window,
# plug-in mode with pictures read through the project's plug-ins, the region window, both
# previews in both languages and at 640 pixels wide, the picture viewer) into the folder given
# as argument. Runs the program under Xvfb on a small catalogue that it
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
cmake --build "$build" -j "$(nproc)" --target lumidex2-screenshots lumidex2_all_plugins \
    lumidex2_make_plugin_pictures >&2
home="$(mktemp -d)"
trap 'rm -rf "$home"' EXIT
# Pictures in the formats of the project's plug-ins, for plug-in mode and the region window.
"$build/src/plugins/lumidex2_make_plugin_pictures" "$home/plugin-pictures" >&2
# Real photographs for the viewing tools: four originals of the lumibench corpus with their
# copies (copied, never touched in place).
if [[ -f /tmp/lumibench/truth.tsv ]]; then
    mkdir -p "$home/photos"
    awk -F'\t' '{n[$2]++; f[$2]=f[$2] " " $1} END {for (k in n) if (n[k] >= 4) print f[k]}' \
        /tmp/lumibench/truth.tsv | sort | awk 'NR <= 4' | tr ' ' '\n' | grep -v '^$' |
        while read -r rel; do cp "/tmp/lumibench/set/$rel" "$home/photos/$(basename "$rel")"; done
    export LUMIDEX2_SCREENSHOT_PHOTOS="$home/photos"
fi
LUMIDEX2_HOME="$home" XDG_CACHE_HOME="$home/cache" QT_QPA_PLATFORM=xcb \
    xvfb-run -a -s "-screen 0 1280x900x24" "$build/src/app/lumidex2-screenshots" "$out" \
    "$build/plugins" "$home/plugin-pictures/formats"
# The region window ("Sub Index Manager") over a generated photograph with two regions.
cmake --build "$build" -j "$(nproc)" --target lumidex2_tpview_screenshot >&2
LUMIDEX2_HOME="$home" XDG_CACHE_HOME="$home/cache" QT_QPA_PLATFORM=xcb \
    xvfb-run -a -s "-screen 0 1280x900x24" "$build/src/catalogue/lumidex2_tpview_screenshot" \
    "$out/region-window.png"
