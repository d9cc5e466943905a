#!/usr/bin/env bash
# Runs lumidex2-cli over files made for the purpose and compares what it prints.
#   $1  the lumidex2-cli executable
#   $2  the test-picture maker (writes the pictures into the folder it is given)
# LUMIDEX2_HOME is set by the caller.
set -u
cli=$1
make_pictures=${2:-}
fails=0
work=$(mktemp -d "${TMPDIR:-/tmp}/lumidex2-cli-test.XXXXXX")
trap 'rm -rf "$work"' EXIT

# check NAME EXPECTED ACTUAL
check() {
    if [[ "$2" != "$3" ]]; then
        printf 'FAIL: %s\n  expected: %s\n  actual:   %s\n' "$1" "$2" "$3"
        fails=$((fails + 1))
    fi
}

# ---- usage ----
"$cli" --help >/dev/null
check "--help status" 0 $?
"$cli" no-such-command >/dev/null 2>&1
check "unknown command status" 2 $?
"$cli" signature >/dev/null 2>&1
check "signature without files" 2 $?
"$cli" signature --help | grep -q 'signature FILE'
check "signature --help" 0 $?

# ---- signature ----
if [[ -z $make_pictures ]]; then
    echo "FAIL: no picture maker given"
    exit 1
fi
pics=$work/pics
"$make_pictures" "$pics" || { echo "FAIL: making the pictures"; exit 1; }

# Every variant of a picture gives the signature the worked examples give for its content:
# grey rising from left to right, grey rising from top to bottom, red beside blue.
for f in "$pics"/columns*; do
    out=$("$cli" signature "$f")
    check "$(basename "$f") status" 0 $?
    check "$(basename "$f")" "88888000 0055AAFF $f" "$out"
done
for f in "$pics"/rows.*; do
    check "$(basename "$f")" "80008888 1B1B1B1B $f" "$("$cli" signature "$f")"
done
for f in "$pics"/halves.*; do
    check "$(basename "$f")" "00000000 55555555 $f" "$("$cli" signature "$f")"
done

# Rejected files: the reported message, the other files still analysed, status 1.
out=$("$cli" signature "$pics/tiny.jpg" "$pics/narrow.jpg" "$pics/wide.jpg" "$pics/png-data.jpg" \
    "$pics/rows.png" "$pics/truncated.jpg" "$pics/garbage.png" "$pics/short.bmp" "$pics/none.jpg" 2>/dev/null)
status=$?
expected="File is too small,$pics/tiny.jpg
Cant analyze,$pics/narrow.jpg
File read failed,$pics/wide.jpg
Read failed,$pics/png-data.jpg
80008888 1B1B1B1B $pics/rows.png
Read failed,$pics/truncated.jpg
Read failed,$pics/garbage.png
Read failed,$pics/short.bmp
File is too small,$pics/none.jpg"
check "rejected files" "$expected" "$out"
check "status with rejected files" 1 $status

out=$("$cli" signature "$pics/rows.jpg" "$pics/halves.bmp")
check "status when all are analysed" 0 $?
check "two files" "80008888 1B1B1B1B $pics/rows.jpg
00000000 55555555 $pics/halves.bmp" "$out"

if ((fails > 0)); then
    echo "$fails check(s) failed"
    exit 1
fi
echo "cli_test: all checks passed"
