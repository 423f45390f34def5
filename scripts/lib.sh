# Shared by the scripts: installs Debian packages that are missing, once per run.
# shellcheck shell=bash

apt_updated=0

# ensure_packages PACKAGE...: installs those of the packages that are not installed yet.
ensure_packages() {
    local missing=()
    local package
    for package in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$package")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    if [ "$(id -u)" -ne 0 ] && ! command -v sudo >/dev/null 2>&1; then
        echo "missing packages: ${missing[*]} (install them, or run as root)" >&2
        return 1
    fi
    local as_root=()
    [ "$(id -u)" -ne 0 ] && as_root=(sudo)
    echo "installing: ${missing[*]}" >&2
    if [ "$apt_updated" -eq 0 ]; then
        "${as_root[@]}" apt-get update -qq >&2
        apt_updated=1
    fi
    DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >&2
}

# The compiler, CMake and Ninja that every build needs.
ensure_build_tools() {
    ensure_packages g++ cmake ninja-build
}
