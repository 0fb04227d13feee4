# Shared by the scripts: the source folder and a build helper.
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
jobs=$(nproc 2>/dev/null || echo 2)

# configure_and_build BUILD_FOLDER [cmake options...] [--target NAME...]
configure_and_build() {
    local folder=$1
    shift
    local options=() targets=()
    while [[ $# -gt 0 ]]; do
        if [[ $1 == --target ]]; then
            targets+=(--target "$2")
            shift 2
        else
            options+=("$1")
            shift
        fi
    done
    cmake -S "$root" -B "$folder" "${options[@]}" >/dev/null
    cmake --build "$folder" -j "$jobs" "${targets[@]}"
}
