#!/usr/bin/env bash
# Database and memo commands of lumidex2-cli on small hand-made files.
set -euo pipefail
cli=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

le32() {
    local n=$(($1 & 0xFFFFFFFF))
    printf "$(printf '\\x%02x\\x%02x\\x%02x\\x%02x' $((n & 255)) $((n >> 8 & 255)) $((n >> 16 & 255)) $((n >> 24 & 255)))"
}
header() { printf 'LDB00%s' "$1"; head -c 122 /dev/zero; }
# A version 2 record: path, key, code.
record2() { le32 ${#1}; printf '%s' "$1"; le32 "$2"; le32 "$3"; }

{ header 2; record2 /p/a.jpg 1 2; record2 b.jpg 3 4; record2 'C:\w\c.jpg' 5 6; } >"$dir/old.ldb"

"$cli" info "$dir/old.ldb" >"$dir/info"
for want in version=2 entries=0 selection=-1 TrackBar1=1 TrackBar3=4 JpegQuality=75 Compress=1 \
    policy=Replace collision=OverWrite sort=byName DoubleCheck=0; do
    grep -qx "$want" "$dir/info" || fail "info lacks $want"
done

expected=$(printf '%s\n' \
    $'/p/a.jpg\t00000001\t00000002\t0\t-1\t-1\t\t' \
    $'/p/b.jpg\t00000003\t00000004\t0\t-1\t-1\t\t' \
    $'C:\\w\\c.jpg\t00000005\t00000006\t0\t-1\t-1\t\t')
[[ $("$cli" list "$dir/old.ldb") == "$expected" ]] || fail "list of a version 2 file"

# Rewritten as version 8, the same entries come back.
"$cli" rewrite "$dir/old.ldb" "$dir/new.ld2" 2>/dev/null
grep -qx version=8 <("$cli" info "$dir/new.ld2") || fail "rewrite writes version 8"
grep -qx entries=3 <("$cli" info "$dir/new.ld2") || fail "rewrite writes the count"
[[ $("$cli" list "$dir/new.ld2") == "$expected" ]] || fail "list after rewrite"
"$cli" list --json "$dir/new.ld2" | grep -q '"path":"C:\\\\w\\\\c.jpg","key":"00000005"' || fail "json list"

# Damage: the entries before it are listed, the reader's words go to standard error.
{ cat "$dir/new.ld2"; le32 -7; } >"$dir/broken.ld2"
cp "$dir/broken.ld2" "$dir/broken.copy"
if "$cli" list "$dir/broken.ld2" >"$dir/out" 2>"$dir/err"; then fail "broken file exits 0"; fi
[[ $(cat "$dir/out") == "$expected" ]] || fail "entries before the damage"
grep -q 'File read error:File is broken.SCANDISK NOW!!' "$dir/err" || fail "broken-file message"
if "$cli" rewrite "$dir/broken.ld2" 2>/dev/null; then fail "rewrite of a broken file succeeds"; fi
cmp -s "$dir/broken.ld2" "$dir/broken.copy" || fail "a broken file was rewritten"

printf 'not a database at all' >"$dir/foreign.ld2"
if "$cli" list "$dir/foreign.ld2" 2>"$dir/err" >/dev/null; then fail "foreign file exits 0"; fi
grep -q 'File format error:This file is not Lumidex database.' "$dir/err" || fail "foreign-file message"

# Merging: duplicates by the chosen policy.
{ header 2; record2 /p/a.jpg 9 9; record2 /r/d.jpg 7 7; } >"$dir/other.ldb"
cp "$dir/new.ld2" "$dir/m1.ld2"
cp "$dir/new.ld2" "$dir/m2.ld2"
"$cli" merge "$dir/m1.ld2" "$dir/other.ldb" --policy notcare 2>/dev/null
# (listing it again would apply the stored policy, Replace, to the duplicate)
grep -qx entries=5 <("$cli" info "$dir/m1.ld2") || fail "merge with notcare keeps both"
"$cli" merge "$dir/m2.ld2" "$dir/other.ldb" --policy dontadd 2>/dev/null
grep -qx entries=4 <("$cli" info "$dir/m2.ld2") || fail "merge with dontadd adds only the new path"
[[ $("$cli" list "$dir/m2.ld2" | grep -c '^/p/a.jpg'$'\t''00000001') -eq 1 ]] || fail "merge with dontadd keeps the old entry"
grep -qx policy=Replace <("$cli" info "$dir/m2.ld2") || fail "merge keeps the stored policy"

# Memo file round trip, quotes included.
memo=$'"Colours","100"\r\n"",""\r\n"say ""hi""","100"\r\n"","-1"\r\n"blue","100"\r\n"",""\r\n'
printf '%s' "$memo" >"$dir/in.l2m"
"$cli" memo-import "$dir/new.ld2" "$dir/in.l2m" 2>/dev/null
"$cli" memo-export "$dir/new.ld2" "$dir/out.l2m" 2>/dev/null
expected_memo=$'"Colours","100"\r\n"",""\r\n"say ""hi""","100"\r\n"blue","100"\r\n"",""\r\n'
cmp -s "$dir/out.l2m" <(printf '%s' "$expected_memo") || fail "memo export after import"
printf '"A","1"\r\n\r\n' >"$dir/bad.l2m"
if "$cli" memo-import "$dir/new.ld2" "$dir/bad.l2m" 2>"$dir/err"; then fail "bad memo file accepted"; fi
grep -q "Couldn't read Memo file." "$dir/err" || fail "memo failure message"

echo ok
