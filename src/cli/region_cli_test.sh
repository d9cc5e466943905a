#!/usr/bin/env bash
# Runs the region command of lumidex2-cli, and signature and scan through the project's
# picture plug-ins, over pictures made for the purpose.
#   $1  the lumidex2-cli executable
#   $2  the plug-in test-picture maker
#   $3  the folder of the project's plug-ins
# LUMIDEX2_HOME is set by the caller.
set -u
cli=$1
make_pictures=$2
plugins=$3
fails=0
work=$(mktemp -d "${TMPDIR:-/tmp}/lumidex2-region-cli.XXXXXX")
trap 'rm -rf "$work"' EXIT

check() {
    if [[ "$2" != "$3" ]]; then
        printf 'FAIL: %s\n  expected: %s\n  actual:   %s\n' "$1" "$2" "$3"
        fails=$((fails + 1))
    fi
}

"$make_pictures" "$work/pics" 2>/dev/null || { echo "FAIL: making the pictures"; exit 1; }
db=$work/db.ld2
scene=$work/pics/scene.png
crop=$work/pics/crop/scene-crop.png
"$cli" scan "$db" "$scene" "$crop" 2>/dev/null

# ---- region: usage and errors ----
"$cli" region "$db" "$scene" >/dev/null 2>&1
check "region without an action" 2 $?
"$cli" region "$db" "$scene" --list --delete 1 >/dev/null 2>&1
check "two actions" 2 $?
"$cli" region "$db" "$scene" --add 1,2,3 >/dev/null 2>&1
check "three corners" 2 $?
"$cli" region "$db" "$work/pics/none.png" --list >/dev/null 2>&1
check "a file not in the database" 1 $?
check "no regions yet" "" "$("$cli" region "$db" "$scene" --list)"

# ---- add, clipped; too small refused ----
before=$(cksum <"$db")
err=$("$cli" region "$db" "$scene" --add 190,10,260,60 2>&1 >/dev/null)
check "under 16 pixels once clipped" 1 $?
check "the refusal says why" 1 "$(echo "$err" | grep -c 'under 16 x 16 pixels inside the 200 x 150 picture')"
check "a refused region leaves the database" "$before" "$(cksum <"$db")"
"$cli" region "$db" "$scene" --add -20,100,60,400 >/dev/null
check "add status" 0 $?
"$cli" region "$db" "$scene" --add 50,40,150,120 >/dev/null
list=$("$cli" region "$db" "$scene" --list)
check "two regions" 2 "$(echo "$list" | wc -l)"
check "stored clipped" "Area 1 (0,100)-(60,150)" "$(echo "$list" | sed -n 1p | cut -d' ' -f1-3)"
# The region over the crop's rectangle has the crop's signature, and finds it.
crop_signature=$("$cli" signature "$crop" | cut -d' ' -f1-2)
check "the region's signature is the crop's" "$crop_signature" "$(echo "$list" | sed -n 2p | cut -d' ' -f4-5)"
check "the region finds the cropped copy" "  $crop" "$("$cli" similar "$db" --targets | grep "crop" | grep '^  ')"
check "not without UseSubIndex" "" "$("$cli" similar "$db" --set UseSubIndex=0)"

# ---- delete ----
"$cli" region "$db" "$scene" --delete 3 >/dev/null 2>&1
check "no Area 3" 1 $?
"$cli" region "$db" "$scene" --delete 1 >/dev/null
check "delete status" 0 $?
check "the second becomes Area 1" "Area 1 (50,40)-(150,120)" "$("$cli" region "$db" "$scene" --list | cut -d' ' -f1-3)"
"$cli" region "$db" "$scene" --delete 1 >/dev/null
check "deleting the only region" "" "$("$cli" region "$db" "$scene" --list)"

# ---- plug-ins ----
formats=$work/pics/formats
"$cli" signature "$formats/scene.webp" >/dev/null
check "no WebP without plug-ins" 1 $?
"$cli" signature "$formats/scene.webp" --plugins "$work/pics" >/dev/null 2>&1
check "a folder without plug-ins" 1 $?
out=$("$cli" signature "$formats"/* "$scene" --plugins "$plugins" 2>/dev/null)
check "every format read" 0 $?
key=$(echo "$out" | tail -1 | cut -d' ' -f1)
check "the same key for every format" "$(echo "$out" | wc -l)" "$(echo "$out" | grep -c "^$key ")"
"$cli" scan "$work/plug.ld2" "$formats" --plugins "$plugins" 2>/dev/null
check "scan through plug-ins" "$(ls "$formats" | wc -l)" "$("$cli" similar "$work/plug.ld2" --all | wc -l)"
"$cli" scan "$work/native.ld2" "$formats" 2>/dev/null
check "scan without plug-ins skips their formats" 0 "$("$cli" similar "$work/native.ld2" --all | wc -l)"
check "susieplg.cnf untouched" "" "$(ls "$LUMIDEX2_HOME" 2>/dev/null | grep susieplg)"

if ((fails)); then
    echo "$fails check(s) failed"
    exit 1
fi
echo "all region and plug-in checks passed"
