#!/usr/bin/env bash
# The file commands of lumidex2-cli on real folders: trash, move, unlinked, change-path,
# rename-csv and move-folder, each with --dry-run.
#   $1  the lumidex2-cli executable
#   $2  the test-picture maker
# LUMIDEX2_HOME is set by the caller; the trash is a temporary one.
set -u
cli=$1
make_pictures=$2
fails=0
work=$(mktemp -d "${TMPDIR:-/tmp}/lumidex2-file-cli.XXXXXX")
trap 'rm -rf "$work"' EXIT
export XDG_DATA_HOME=$work/data

check() {
    if [[ "$2" != "$3" ]]; then
        printf 'FAIL: %s\n  expected: %s\n  actual:   %s\n' "$1" "$2" "$3"
        fails=$((fails + 1))
    fi
}
paths() { "$cli" list "$db" | cut -f1 | tr '\n' ' '; }

"$make_pictures" "$work/made" >/dev/null || { echo "FAIL: making the pictures"; exit 1; }
p=$work/pics
mkdir -p "$p/sub" "$work/out"
cp "$work/made/rows.jpg" "$p/a.jpg"
cp "$work/made/columns.jpg" "$p/b.jpg"
cp "$work/made/halves.png" "$p/sub/c.png"
db=$work/db.ld2
"$cli" scan "$db" "$p" >/dev/null 2>&1
check "scan" "$p/a.jpg $p/b.jpg $p/sub/c.png " "$(paths)"

for c in unlinked change-path rename-csv move-folder trash move; do
    "$cli" "$c" --help | grep -q "Usage: lumidex2-cli $c" || check "$c --help" usage missing
    "$cli" "$c" >/dev/null 2>&1
    check "$c without arguments" 2 $?
done

# ---- trash ----
out=$("$cli" trash "$db" "$p/b.jpg" --dry-run)
check "trash --dry-run plan" "$p/b.jpg -> trash" "$out"
[[ -f $p/b.jpg ]] || check "trash --dry-run keeps the file" present gone
"$cli" trash "$db" "$p/b.jpg" >/dev/null
check "trash exit" 0 $?
[[ -f $XDG_DATA_HOME/Trash/files/b.jpg && ! -e $p/b.jpg ]] || check "trash moves to the trash" trashed "not trashed"
check "trash drops the entry" "$p/a.jpg $p/sub/c.png " "$(paths)"
"$cli" trash "$db" "$p/nothing.jpg" >/dev/null 2>&1
check "trash of an uncatalogued path" 1 $?

# ---- move ----
cp "$work/made/columns.jpg" "$work/out/a.jpg"
out=$("$cli" move "$db" "$p/a.jpg" --to "$work/out")
check "move skips a collision by default" "$p/a.jpg: skipped, Destination file exists" "$out"
cmp -s "$work/made/columns.jpg" "$work/out/a.jpg" || check "skip keeps the destination" kept changed
out=$("$cli" move "$db" "$p/a.jpg" --to "$work/out" --on-collision rename --dry-run)
check "move --dry-run plan" "$p/a.jpg -> $work/out/a_1.jpg" "$out"
[[ -f $p/a.jpg && ! -e $work/out/a_1.jpg ]] || check "move --dry-run writes nothing" untouched touched
"$cli" move "$db" "$p/a.jpg" --to "$work/out" --on-collision rename >/dev/null
cmp -s "$work/made/rows.jpg" "$work/out/a_1.jpg" || check "move renames" moved "not moved"
check "move re-points the entry" "$work/out/a_1.jpg $p/sub/c.png " "$(paths)"
"$cli" move "$db" "$work/out/a_1.jpg" --to "$work/out" >/dev/null 2>&1
check "move into its own folder fails" 1 $?

# ---- unlinked ----
rm "$work/out/a_1.jpg"
check "unlinked lists the missing" "$work/out/a_1.jpg" "$("$cli" unlinked "$db")"
"$cli" unlinked "$db" --remove --dry-run >/dev/null
check "unlinked --dry-run keeps the entry" "$work/out/a_1.jpg $p/sub/c.png " "$(paths)"
"$cli" unlinked "$db" --remove >/dev/null
check "unlinked --remove" "$p/sub/c.png " "$(paths)"

# ---- change-path ----
mv "$p/sub" "$work/moved"
out=$("$cli" change-path "$db" "$p/" "$work/moved/" --no-subfolders)
check "change-path without sub-folders" "0/1 Changed." "$out"
out=$("$cli" change-path "$db" "$p/sub" "$work/moved")
check "change-path" "$p/sub/c.png -> $work/moved/c.png
1/1 Changed." "$out"
check "change-path re-points" "$work/moved/c.png " "$(paths)"

# ---- rename-csv ----
printf 'Old,Folder,New\nc.png,%s/\n' "$work/moved" >"$work/bad.csv"
out=$("$cli" rename-csv "$db" "$work/bad.csv" 2>&1)
check "rename-csv exit on a bad file" 1 $?
check "rename-csv message" "ERROR:Invalid CSV" "$out"
printf 'Old,Folder,New\r\nc.png,%s/,d.png\r\n' "$work/moved" >"$work/good.csv"
check "rename-csv" "1 FileName Changed." "$("$cli" rename-csv "$db" "$work/good.csv")"
check "rename-csv re-points" "$work/moved/d.png " "$(paths)"
mv "$work/moved/c.png" "$work/moved/d.png"

# ---- move-folder ----
mkdir -p "$work/moved/deep" "$work/dest"
cp "$work/made/rows.jpg" "$work/moved/deep/e.jpg"
"$cli" scan "$db" "$work/moved/deep/e.jpg" >/dev/null 2>&1
"$cli" move-folder "$db" "$work/moved" "$work/dest" --dry-run >"$work/plan"
grep -qx "$work/moved/d.png -> $work/dest/d.png" "$work/plan" || check "move-folder plan" listed missing
[[ -f $work/moved/d.png ]] || check "move-folder --dry-run" untouched moved
"$cli" move-folder "$db" "$work/moved" "$work/moved/inner" >/dev/null 2>&1
check "move-folder into itself is refused" 1 $?
out=$("$cli" move-folder "$db" "$work/moved" "$work/dest" | tail -1)
check "move-folder" "2/2 Changed." "$out"
[[ -f $work/dest/deep/e.jpg && -f $work/dest/d.png ]] || check "move-folder on disk" moved missing
check "move-folder re-points" "$work/dest/d.png $work/dest/deep/e.jpg " "$(paths)"

[[ $fails -eq 0 ]] && echo "all file command checks passed"
exit $((fails > 0))
