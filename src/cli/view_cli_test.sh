#!/usr/bin/env bash
# Runs "lumidex2-cli similar-to" over pictures made for the purpose.
#   $1  the lumidex2-cli executable
#   $2  the test-picture maker
# LUMIDEX2_HOME is set by the caller.
set -u
cli=$1
make_pictures=$2
fails=0
work=$(mktemp -d "${TMPDIR:-/tmp}/lumidex2-view-cli.XXXXXX")
trap 'rm -rf "$work"' EXIT

check() {
    if [[ "$2" != "$3" ]]; then
        printf 'FAIL: %s\n  expected: %s\n  actual:   %s\n' "$1" "$2" "$3"
        fails=$((fails + 1))
    fi
}

"$make_pictures" "$work/made" || { echo "FAIL: making the pictures"; exit 1; }
mkdir -p "$work/pics/sub" "$work/outside"
cp "$work/made/rows.jpg" "$work/made/halves.png" "$work/made/rows.bmp" "$work/pics/"
cp "$work/made/rows.jpg" "$work/pics/sub/rows copy.jpg"
db=$work/db.ld2
"$cli" scan "$db" "$work/pics" --depth 2 2>/dev/null || { echo "FAIL: scan"; exit 1; }
before=$("$cli" list "$db")

# ---- usage ----
"$cli" similar-to "$db" >/dev/null 2>&1
check "no file" 2 $?
"$cli" similar-to >/dev/null 2>&1
check "no database" 2 $?
"$cli" similar-to "$db" "$work/made/rows.jpg" --bogus >/dev/null 2>&1
check "unknown option" 2 $?
"$cli" similar-to "$db" "$work/made/rows.jpg" --set NoSuchControl=1 >/dev/null 2>&1
check "unknown control name" 2 $?
"$cli" similar-to "$work/none.ld2" "$work/made/rows.jpg" >/dev/null 2>&1
check "missing database" 1 $?

# ---- found and not found ----
# Strict keys: rows and halves are unrelated, and columns matches nothing catalogued.
strict=(--set NotStrict=0)
out=$("$cli" similar-to "$db" "$work/made/rows.png" "$work/made/columns.jpg" "${strict[@]}")
check "status when every file was analysed" 0 $?
expected="$work/made/rows.png
  $work/pics/rows.bmp
  $work/pics/rows.jpg
  $work/pics/sub/rows copy.jpg
$work/made/columns.jpg"
check "copies in catalogue order, an unrelated picture alone" "$expected" "$out"

# A catalogued file is looked for as a stranger: it finds its own entry too.
out=$("$cli" similar-to "$db" "$work/pics/halves.png" "${strict[@]}")
check "a catalogued picture finds its entry" "$work/pics/halves.png
  $work/pics/halves.png" "$out"

# The size test compares with the file's own size: the BMP copy has another size.
out=$("$cli" similar-to "$db" "$work/made/rows.jpg" "${strict[@]}" --set CheckBoxSameSizeOnly=1 \
    --set TrackBarSizeRange=0)
check "the file's size takes part" "$work/made/rows.jpg
  $work/pics/rows.jpg
  $work/pics/sub/rows copy.jpg" "$out"

# ---- rejected files ----
err=$("$cli" similar-to "$db" "$work/made/tiny.jpg" "$work/made/garbage.png" \
    "$work/made/narrow.jpg" "$work/made/halves.jpg" "${strict[@]}" 2>&1 >"$work/out")
check "status after a rejected file" 1 $?
check "the analyser's messages" "File is too small,$work/made/tiny.jpg
Read failed,$work/made/garbage.png
Cant analyze,$work/made/narrow.jpg" "$err"
check "the files after a rejected one are answered" "$work/made/halves.jpg
  $work/pics/halves.png" "$(cat "$work/out")"

# ---- JSON ----
cp "$work/made/rows.jpg" "$work/outside/a \"quoted\" name.jpg"
json=$("$cli" similar-to "$db" "$work/outside/a \"quoted\" name.jpg" "$work/made/garbage.png" \
    --json "${strict[@]}" 2>/dev/null)
if command -v python3 >/dev/null; then
    paths=$(echo "$json" | python3 -c '
import json, sys
for row in json.load(sys.stdin):
    print(row["file"], "|", row.get("error") or " ; ".join(e["path"] for e in row["similar"]))')
    check "JSON answer" "$work/outside/a \"quoted\" name.jpg | $work/pics/rows.bmp ; $work/pics/rows.jpg ; $work/pics/sub/rows copy.jpg
$work/made/garbage.png | Read failed,$work/made/garbage.png" "$paths"
    echo "$json" | python3 -c '
import json, sys
e = json.load(sys.stdin)[0]["similar"][0]
assert set(e) == {"path", "size", "time", "key", "code"} and len(e["key"]) == 8, e'
    check "JSON entries carry their fields" 0 $?
fi

# Relative paths are answered as given and looked up as absolute paths.
out=$(cd "$work/pics" && "$cli" similar-to "$db" halves.png "${strict[@]}")
check "relative path" "halves.png
  $work/pics/halves.png" "$out"

check "the database is left as it was" "$before" "$("$cli" list "$db")"

if [[ $fails -ne 0 ]]; then
    echo "$fails failed"
    exit 1
fi
echo ok
