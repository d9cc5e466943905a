#!/usr/bin/env bash
# Adding a folder from the main window against "lumidex2-cli scan" on the same folder, run
# alternately: wall and CPU time of each (the window's figure is the adding alone, the CLI's
# the whole process, saving included).
#   bench/add_window_vs_cli.sh BUILD FOLDER [REPEATS]
# e.g. bench/add_window_vs_cli.sh build/release /tmp/lumibench/scale 3
set -euo pipefail
build=$(realpath "$1")
folder=$(realpath "$2")
repeats=${3:-3}
work=$(mktemp -d /tmp/lumidex2-bench-XXXXXX)
trap 'rm -rf "$work"' EXIT
export LUMIDEX2_HOME=$work/home QT_QPA_PLATFORM=offscreen
mkdir -p "$LUMIDEX2_HOME"
echo "$folder: $(find "$folder" -type f | wc -l) files; $(nproc) cores"
for ((i = 1; i <= repeats; ++i)); do
    echo "-- run $i"
    rm -f "$work/db.ld2"
    /usr/bin/time -f '%e %U %S' -o "$work/time" "$build/src/cli/lumidex2-cli" scan "$work/db.ld2" \
        "$folder" > /dev/null 2> "$work/err"
    read -r wall user sys < "$work/time"
    awk -v w="$wall" -v u="$user" -v s="$sys" \
        'BEGIN { printf "cli scan     %7.2f s wall %7.2f s cpu\n", w, u + s }'
    "$build/bench/bench_add_window" "$folder" 1 2> /dev/null
done
