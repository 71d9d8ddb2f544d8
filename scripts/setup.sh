# Shared by the scripts: install what is missing, configure and build. Sourced, not run.

top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$top/build"

# install_missing_packages [LIST]: the packages of scripts/packages.txt, or of another list.
install_missing_packages() {
    local wanted missing=()
    wanted=$(grep -v -E '^\s*(#|$)' "${1:-$top/scripts/packages.txt}")
    for pkg in $wanted; do
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$pkg")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0

    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        command -v sudo >/dev/null || { echo "Need root or sudo to install: ${missing[*]}" >&2; exit 1; }
        sudo=(sudo)
    fi
    echo "Installing: ${missing[*]}"
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
}

# configure_and_build [DIR [CMAKE ARGUMENTS...]]: the program and its tests, into build/ unless told.
configure_and_build() {
    local dir=${1:-$build}
    shift || true
    local generator=()
    command -v ninja >/dev/null && generator=(-G Ninja)
    if [ ! -f "$dir/CMakeCache.txt" ]; then
        cmake -S "$top" -B "$dir" "${generator[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDORVENT_WERROR=ON "$@"
    fi
    cmake --build "$dir" --parallel "$(nproc)"
}
