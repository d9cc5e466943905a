#!/usr/bin/env bash
# Runs the scan, similar, pairs and search commands of lumidex2-cli over pictures made for
# the purpose.
#   $1  the lumidex2-cli executable
#   $2  the test-picture maker
# LUMIDEX2_HOME is set by the caller.
set -u
cli=$1
make_pictures=$2
fails=0
work=$(mktemp -d "${TMPDIR:-/tmp}/lumidex2-search-cli.XXXXXX")
trap 'rm -rf "$work"' EXIT

check() {
    if [[ "$2" != "$3" ]]; then
        printf 'FAIL: %s\n  expected: %s\n  actual:   %s\n' "$1" "$2" "$3"
        fails=$((fails + 1))
    fi
}

"$make_pictures" "$work/pics" || { echo "FAIL: making the pictures"; exit 1; }
mkdir -p "$work/pics/sub/deeper"
cp "$work/pics/rows.jpg" "$work/pics/sub/rows copy.jpg"
cp "$work/pics/halves.png" "$work/pics/sub/deeper/halves copy.png"
echo "not a picture" > "$work/notes.txt"
db=$work/db.ld2

# ---- usage ----
"$cli" scan >/dev/null 2>&1
check "scan without arguments" 2 $?
"$cli" similar >/dev/null 2>&1
check "similar without a database" 2 $?
"$cli" similar "$work/none.ld2" >/dev/null 2>&1
check "similar on a missing database" 1 $?

# ---- scan ----
"$cli" scan "$db" "$work/pics" --depth 2 2>/dev/null
check "scan status" 0 $?
all=$("$cli" similar "$db" --all)
check "depth 2 takes the chosen folder and its subfolders" 23 "$(echo "$all" | wc -l)"
check "deeper folders are left out" "" "$(echo "$all" | grep deeper)"
"$cli" scan "$db" "$work/pics" 2>/dev/null
check "don't add: only the new file" 24 "$("$cli" similar "$db" --all | wc -l)"
err=$("$cli" scan "$db" "$work/notes.txt" 2>&1 >/dev/null)
check "dropped file of another kind" 1 "$(echo "$err" | grep -c "Illegal file extention:$work/notes.txt")"
"$cli" scan "$db" "$work/pics/rows.jpg" --policy notcare 2>/dev/null
check "not care adds a second entry" 2 "$("$cli" similar "$db" --all | grep -c '/pics/rows.jpg$')"
"$cli" scan "$db" "$work/pics/rows.jpg" --policy replace 2>/dev/null
check "replace status" 0 $?
# The policy stays the catalogue's: reading under "Replace" keeps one entry per path.
check "replace leaves one entry" 1 "$("$cli" similar "$db" --all | grep -c '/pics/rows.jpg$')"

# ---- similar ----
similar=$("$cli" similar "$db")
check "every picture has a look-alike" 24 "$(echo "$similar" | wc -l)"
targets=$("$cli" similar "$db" --targets)
first=$(echo "$targets" | head -1)
check "first reference sorted by name" "$work/pics/columns-16bit.png" "$first"
check "targets of the first reference" 15 "$(echo "$targets" | sed -n '2,/^[^ ]/p' | grep -c '^  ')"
self=$("$cli" similar "$db" --targets --set ShowreferenceinTarget=1 | sed -n '2,/^[^ ]/p' | grep -c '^  ')
check "the reference among its targets" 16 "$self"
sized=$("$cli" similar "$db" --set CheckBoxSameSizeOnly=1 --set TrackBarSizeRange=0 | wc -l)
[[ $sized -lt 24 ]]
check "a size check lists fewer" 0 $?
"$cli" similar "$db" --set NoSuchControl=1 >/dev/null 2>&1
check "an unknown control name" 2 $?

# ---- pairs ----
pairs=$("$cli" pairs "$db")
check "pair lines follow list lines" 1 "$(echo "$pairs" | sed -n 2p | grep -c '^  +---/')"
check "quoted path with a blank" 1 "$(echo "$pairs" | grep -c "^\"$work/pics/sub/rows copy.jpg\" (")"
check "CR LF line ends" "$(echo "$pairs" | wc -l)" "$(echo "$pairs" | grep -c $'\r$')"

# ---- search ----
check "name" 4 "$("$cli" search "$db" --name ROWS | wc -l)"
check "folder without subfolders" 1 "$("$cli" search "$db" --folder "$work/pics/sub" | wc -l)"
check "folder tree" 2 "$("$cli" search "$db" --folder-tree "$work/pics/sub" | wc -l)"
check "name and not" 3 "$("$cli" search "$db" --name rows --method not --name bmp | wc -l)"
check "or counts into the list" 8 "$("$cli" search "$db" --name rows --method or --name halves | wc -l)"
check "size" 0 "$("$cli" search "$db" --size '<=' 1000 | wc -l)"
# Not a number, or beyond 32 bits: the field counts as 0.
check "size field not a number" 24 "$("$cli" search "$db" --size '>=' 12k | wc -l)"
check "size field out of range" 24 "$("$cli" search "$db" --size '>=' 99999999999 | wc -l)"
check "dates of today and later" 24 "$("$cli" search "$db" --date '>=' 2000-01-01 | wc -l)"
check "updated" 0 "$("$cli" search "$db" --updated | wc -l)"
touch -d '2001-01-01' "$work/pics/halves.bmp"
check "updated after a touch" "$work/pics/halves.bmp" "$("$cli" search "$db" --updated)"

# A file skipped as already catalogued is no abort: the items after it are still added.
cp "$work/pics/rows.jpg" "$work/extra.jpg"
"$cli" scan "$db" "$work/pics/rows.jpg" "$work/extra.jpg" --policy dontadd 2>/dev/null
check "scan status after a skipped file" 0 $?
check "the item after a skipped one" 1 "$("$cli" similar "$db" --all | grep -c "^$work/extra.jpg$")"

# ---- JSON ----
if command -v python3 >/dev/null; then
    # A name that is not UTF-8 comes back to the same bytes through the escape.
    cp "$work/pics/rows.jpg" "$work/pics/bad"$'\xff\xfe'"name.jpg"
    "$cli" scan "$db" "$work/pics/bad"$'\xff\xfe'"name.jpg" 2>/dev/null
    json=$("$cli" similar "$db" --targets --json)
    text=$("$cli" similar "$db" --targets)
    # The rows and targets of the text answer, in the same order.
    check "JSON rows are the text rows" "$(printf '%s\n' "$text" | python3 -c '
import sys; sys.stdout.buffer.write(sys.stdin.buffer.read())')" "$(printf '%s' "$json" | python3 -c '
import json, os, sys
for row in json.load(sys.stdin):
    sys.stdout.buffer.write(os.fsencode(row["path"]) + b"\n")
    for t in row["targets"]:
        way = t.get("orientation", "upright")
        mark = b"" if way == "upright" else b" (mirrored)" if way.startswith("mirrored") else b" (turned)"
        sys.stdout.buffer.write(b"  " + os.fsencode(t["path"]) + mark + b"\n")')"
    printf '%s' "$json" | grep -q 'bad\\udcff\\udcfename.jpg' || { echo "FAIL: the escape"; fails=$((fails + 1)); }
    printf '%s' "$json" | python3 -c '
import json, os, sys
rows = json.load(sys.stdin)
assert all(os.path.exists(r["path"]) for r in rows)
r = rows[0]
assert isinstance(r["size"], int) and isinstance(r["time"], int) and len(r["code"]) == 8, r'
    check "JSON paths name the files" 0 $?
    check "pairs JSON: one row per reference with its targets" "$("$cli" similar "$db" | wc -l)" \
        "$("$cli" pairs "$db" --json | python3 -c '
import json, sys
rows = json.load(sys.stdin)
assert all(r["targets"] for r in rows)
print(len(rows))')"
    check "search JSON" "$work/pics/rows.jpg" "$("$cli" search "$db" --name rows.jpg --json | python3 -c '
import json, sys
print("\n".join(r["path"] for r in json.load(sys.stdin) if r["path"].endswith("/pics/rows.jpg")))')"
    check "an empty answer is an empty list" "[]" "$("$cli" search "$db" --name nothing-like-it --json)"
fi

# ---- mirrored and turned copies ----
if command -v python3 >/dev/null; then
    # Sixteen cells of distinct greys, the same picture mirrored and turned a quarter.
    mkdir -p "$work/turns"
    python3 - "$work/turns" <<'PY'
import struct, sys
levels = [9, 2, 14, 5, 11, 0, 7, 12, 3, 15, 6, 1, 13, 8, 4, 10]
def grey(x, y):
    return 16 * levels[(x // 16) * 4 + y // 16] + 8
def write(name, pixel):
    rows = b"".join(bytes(3 * [pixel(x, y)]) for y in range(63, -1, -1) for x in range(64))
    header = struct.pack("<2sIHHIIiiHHIIiiII", b"BM", 54 + len(rows), 0, 0, 54, 40, 64, 64, 1,
                         24, 0, len(rows), 2835, 2835, 0, 0)
    open(sys.argv[1] + "/" + name, "wb").write(header + rows)
write("a.bmp", grey)
write("a-mirrored.bmp", lambda x, y: grey(63 - x, y))
write("a-turned.bmp", lambda x, y: grey(y, 63 - x))
PY
    tdb=$work/turns.ld2
    "$cli" scan "$tdb" "$work/turns" 2>/dev/null
    check "mirrored and turned copies are not alike upright" "" "$("$cli" similar "$tdb")"
    on="--set MatchOrientations=1"
    # A mirrored picture and a turned one are mirrored copies of each other.
    check "their marks after the targets" "$work/turns/a-mirrored.bmp
  $work/turns/a-turned.bmp (mirrored)
  $work/turns/a.bmp (mirrored)
$work/turns/a-turned.bmp
  $work/turns/a-mirrored.bmp (mirrored)
  $work/turns/a.bmp (turned)
$work/turns/a.bmp
  $work/turns/a-mirrored.bmp (mirrored)
  $work/turns/a-turned.bmp (turned)" "$("$cli" similar "$tdb" --targets $on)"
    check "the orientation in JSON" "a.bmp a-mirrored.bmp mirrored-left-right
a.bmp a-turned.bmp turned-right" "$("$cli" similar "$tdb" --targets --json $on | python3 -c '
import json, os, sys
for r in json.load(sys.stdin):
    if r["path"].endswith("/a.bmp"):
        for t in r["targets"]:
            print("a.bmp", os.path.basename(t["path"]), t.get("orientation", "upright"))')"
    check "pairs JSON carries it too" "mirrored-left-right turned-right" "$("$cli" pairs "$tdb" --json $on | python3 -c '
import json, sys
r = [r for r in json.load(sys.stdin) if r["path"].endswith("/a.bmp")][0]
print(" ".join(t["orientation"] for t in r["targets"]))')"
fi

if [[ $fails -ne 0 ]]; then
    echo "$fails failed"
    exit 1
fi
echo ok
