#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks that every file lands in its place and
# that the desktop files pass their validators.
set -euo pipefail
build="${1:?usage: install_test.sh BUILD-DIR}"
prefix="$(mktemp -d)"
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null
id=org.lumidex.Lumidex2
fail=0
for f in bin/lumidex2 bin/lumidex2-cli \
    share/applications/$id.desktop share/metainfo/$id.metainfo.xml \
    share/mime/packages/$id.xml share/icons/hicolor/scalable/apps/$id.svg \
    share/icons/hicolor/48x48/apps/$id.png share/icons/hicolor/256x256/apps/$id.png \
    share/lumidex2/manual.html; do
    if [[ ! -s "$prefix/$f" ]]; then
        echo "missing: $f"
        fail=1
    fi
done
if command -v help2man >/dev/null; then
    man="$prefix/share/man/man1/lumidex2-cli.1"
    [[ -s "$man" ]] || { echo "missing: share/man/man1/lumidex2-cli.1"; fail=1; }
    grep -q 'similar' "$man" || { echo "the manual page lacks the commands"; fail=1; }
fi
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$prefix/share/applications/$id.desktop" || fail=1
fi
if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net --explain "$prefix/share/metainfo/$id.metainfo.xml" >/dev/null ||
        { appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml"; fail=1; }
fi
if command -v xmllint >/dev/null; then
    xmllint --noout "$prefix/share/mime/packages/$id.xml" || fail=1
fi
# The binaries run from the prefix.
"$prefix/bin/lumidex2-cli" --version | grep -q '^lumidex2-cli ' || { echo "cli --version"; fail=1; }
if ((fail)); then
    echo "install_test: FAILED"
    exit 1
fi
echo "install_test: ok"
