#!/usr/bin/env bash
# The memo and mismatch commands of lumidex2-cli on a scanned folder of test pictures.
#   $1  the lumidex2-cli executable
#   $2  the test-picture maker
# LUMIDEX2_HOME is set by the caller.
set -u
cli=$1
make_pictures=$2
fails=0
work=$(mktemp -d "${TMPDIR:-/tmp}/lumidex2-organise-cli.XXXXXX")
trap 'rm -rf "$work"' EXIT

check() {
    if [[ "$2" != "$3" ]]; then
        printf 'FAIL: %s\n  expected: %s\n  actual:   %s\n' "$1" "$2" "$3"
        fails=$((fails + 1))
    fi
}

"$make_pictures" "$work/pics" || { echo "FAIL: making the pictures"; exit 1; }
db=$work/db.ld2
"$cli" scan "$db" "$work/pics" 2>/dev/null || { echo "FAIL: scan"; exit 1; }
rows=$work/pics/rows.jpg
halves=$work/pics/halves.png

# ---- usage ----
"$cli" memo >/dev/null 2>&1
check "memo without arguments" 2 $?
"$cli" memo "$db" --set G >/dev/null 2>&1
check "memo --set without a memo and a path" 2 $?
"$cli" mismatch "$db" --make "$rows" >/dev/null 2>&1
check "mismatch --make of one path" 2 $?
"$cli" memo "$work/none.ld2" --list >/dev/null 2>&1
check "memo on a missing database" 1 $?
"$cli" memo --help | grep -q '^Usage: lumidex2-cli memo DB --list'
check "memo --help" 0 $?

# ---- memo ----
check "no memos yet" "" "$("$cli" memo "$db" --list)"
"$cli" memo "$db" --set Colours grey "$rows" "$halves"
check "--set status" 0 $?
"$cli" memo "$db" --set Colours red "$halves"
check "memo list" $'100\tColours\n\t0\tgrey\n\t1\tred' "$("$cli" memo "$db" --list)"
check "search finds the tagged pictures" 2 "$("$cli" search "$db" --memo Colours grey | wc -l)"
"$cli" memo "$db" --unset Colours grey "$rows"
check "unset leaves one picture" "$halves" "$("$cli" search "$db" --memo Colours grey)"
"$cli" memo "$db" --unset Colours blue "$rows" 2>/dev/null
check "unset of an unknown memo" 1 $?
cp "$db" "$work/before.ld2"
"$cli" memo "$db" --set Colours grey "$work/pics/absent.jpg" 2>/dev/null
check "a path not in the database" 1 $?
cmp -s "$db" "$work/before.ld2"
check "a failed command leaves the file alone" 0 $?

# ---- mismatch ----
check "no groups yet" "" "$("$cli" mismatch "$db" --list)"
before=$("$cli" similar "$db" --targets | grep -c .)
pair=$("$cli" similar "$db" --targets | awk '/^[^ ]/{ref=$0; next} {sub(/^ +/, ""); print ref "\n" $0; exit}')
first=$(echo "$pair" | sed -n 1p)
second=$(echo "$pair" | sed -n 2p)
check "group number" 1 "$("$cli" mismatch "$db" --make "$first" "$second")"
check "mismatch list" "$(printf '1\t%s\n1\t%s' "$first" "$second" | sort -t$'\t' -k2,2f)" \
    "$("$cli" mismatch "$db" --list)"
pairs_after=$("$cli" similar "$db" --targets | awk -v a="$first" -v b="$second" \
    '/^[^ ]/{ref=$0; next} {sub(/^ +/, ""); if (ref == a && $0 == b) n++} END {print n + 0}')
check "similar no longer pairs them" 0 "$pairs_after"
check "the second group gets number 2" 2 "$("$cli" mismatch "$db" --make "$rows" "$halves")"

[[ $fails -eq 0 ]] || { echo "$fails check(s) failed"; exit 1; }
echo "organise CLI: all checks passed"
