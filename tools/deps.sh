# Installs the Debian packages that building and testing need, when any is missing.
# Sourced by run.sh and test.sh.
LUMIDEX2_PACKAGES=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev libgl-dev libglib2.0-dev
    libjpeg62-turbo-dev libpng-dev zlib1g-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    fonts-noto-cjk
    help2man desktop-file-utils appstream libxml2-utils
    libwebp-dev libtiff-dev libgif-dev libheif-dev
)

lumidex2_ensure_deps() {
    local missing=()
    local p
    for p in "${LUMIDEX2_PACKAGES[@]}" "$@"; do
        if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$p")
        fi
    done
    if ((${#missing[@]} == 0)); then
        return 0
    fi
    echo "Installing: ${missing[*]}" >&2
    local sudo=()
    if [[ $(id -u) -ne 0 ]]; then
        sudo=(sudo)
    fi
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >&2
}
