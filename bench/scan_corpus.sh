#!/usr/bin/env bash
# Files per second of "lumidex2-cli scan" over a folder of photographs with 1, 2 and 4 analysis
# threads, beside a plain single-core libjpeg decode of the same JPEG files in the same run:
# wall time, CPU time and peak resident memory of each, repeated; then, where the bench was
# built beside the tool, where one thread's time goes (scan_stages).
# Ends with the best run of each (a shared machine only ever slows a run down) and its speed
# beside the plain decode's best. JOBS sets the thread counts (default "1 2 4").
#   bench/scan_corpus.sh CLI FOLDER [REPEATS]
# e.g. JOBS="1 2 4 8" bench/scan_corpus.sh build/release/src/cli/lumidex2-cli /tmp/lumibench/scale 3
set -euo pipefail
cli=$(realpath "$1")
folder=$(realpath "$2")
repeats=${3:-3}
here=$(dirname "$(realpath "$0")")
work=$(mktemp -d /tmp/lumidex2-bench-XXXXXX)
trap 'rm -rf "$work"' EXIT
export LUMIDEX2_HOME=$work/home
mkdir -p "$LUMIDEX2_HOME"

# The corpus lies beside the main repository, also when this runs from a worktree.
src=${LUMIBENCH_SRC:-$here/../../shared/lumibench}
[[ -f $src/decode-limit.c ]] || src=$(git -C "$here" rev-parse --path-format=absolute --git-common-dir)/../../shared/lumibench
gcc -O2 -o "$work/decode-limit" "$src/decode-limit.c" -ljpeg
find "$folder" -type f \( -iname '*.jpg' -o -iname '*.jpeg' \) | sort > "$work/jpegs"
files=$(find "$folder" -type f \( -iname '*.jpg' -o -iname '*.jpeg' -o -iname '*.png' -o -iname '*.bmp' \) | wc -l)
echo "$folder: $files pictures, $(wc -l < "$work/jpegs") of them JPEG; $(nproc) cores"

# One measured run: label, files, command...
measure() {
    local label=$1 n=$2
    shift 2
    /usr/bin/time -f '%e %U %S %M' -o "$work/time" "$@" > /dev/null 2> "$work/err" || true
    read -r wall user sys rss < "$work/time"
    awk -v l="$label" -v n="$n" -v w="$wall" -v u="$user" -v s="$sys" -v r="$rss" 'BEGIN {
        printf "%-12s %7.2f s wall %7.2f s cpu %8.0f files/s %6.0f MB peak\n",
               l, w, u + s, n / w, r / 1024 }' | tee -a "$work/runs"
}

for ((i = 1; i <= repeats; ++i)); do
    echo "-- run $i"
    measure "plain-decode" "$(wc -l < "$work/jpegs")" sh -c "'$work/decode-limit' < '$work/jpegs'"
    for jobs in ${JOBS:-1 2 4}; do
        rm -f "$work/db.ld2"
        measure "jobs=$jobs" "$files" "$cli" scan "$work/db.ld2" "$folder" --policy notcare --jobs "$jobs"
    done
    measure "save" "$files" "$cli" rewrite "$work/db.ld2" "$work/db2.ld2"
done
echo "-- best of $repeats runs (speed beside the plain decode's best)"
awk '{ if (!($1 in wall) || $2 < wall[$1]) { wall[$1] = $2; line[$1] = $0 }
       if ($10 > peak[$1]) peak[$1] = $10; order[$1] = order[$1] ? order[$1] : ++n; name[n] = $1 }
     END { for (i = 1; i <= n; ++i) { l = name[i]
               if (l == "save") { print line[l]; continue }
               printf "%s %5.2fx, largest peak %4.0f MB\n", line[l], wall["plain-decode"] / wall[l], peak[l] } }' \
    "$work/runs"
stages=$(dirname "$cli")/../../bench/scan_stages
if [[ -x $stages ]]; then
    echo "-- where one thread's time goes"
    QT_QPA_PLATFORM=offscreen "$stages" "$folder"
fi
