# Shared by the scripts: the source folder and a build helper.
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
jobs=$(nproc 2>/dev/null || echo 2)

# configure_and_build BUILD_FOLDER [cmake options...]
configure_and_build() {
    local folder=$1
    shift
    cmake -S "$root" -B "$folder" "$@" >/dev/null
    cmake --build "$folder" -j "$jobs"
}
