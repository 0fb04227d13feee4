#!/usr/bin/env bash
# Installs the build tree into a scratch DESTDIR and checks that the programs,
# the user guide, the desktop entry and the icons land where the desktop and
# the program look for them.
#
#     check_install.sh BUILD_FOLDER SCRATCH_FOLDER
set -euo pipefail
build=$1
scratch=$2
prefix=/usr

rm -rf "$scratch"
mkdir -p "$scratch"
DESTDIR="$scratch" cmake --install "$build" --prefix "$prefix" >/dev/null
root="$scratch$prefix"

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

for program in tonewright tonewright-syx tonewright-virtual-mopho; do
    [[ -f "$root/bin/$program" && -x "$root/bin/$program" ]] || fail "bin/$program is not an installed program"
done
[[ -f "$root/share/tonewright/guide/index.html" ]] || fail "the user guide is not in share/tonewright/guide"
[[ -f "$root/share/tonewright/guide/pictures/main-window@2x.png" ]] || fail "the guide's pictures are not installed"

# Width and height from a PNG's header.
png_size() {
    od -An -tu1 -j16 -N8 "$1" | awk '{ print $1*16777216 + $2*65536 + $3*256 + $4 "x" $5*16777216 + $6*65536 + $7*256 + $8 }'
}
for size in 16 32 48 64 128 256; do
    icon="$root/share/icons/hicolor/${size}x${size}/apps/tonewright.png"
    if [[ ! -f "$icon" ]]; then
        fail "no ${size}x${size} icon"
    elif [[ $(png_size "$icon") != "${size}x${size}" ]]; then
        fail "the ${size}x${size} icon is $(png_size "$icon")"
    fi
done
[[ -f "$root/share/icons/hicolor/scalable/apps/tonewright.svg" ]] || fail "no scalable icon"

entry="$root/share/applications/tonewright.desktop"
if [[ ! -f "$entry" ]]; then
    fail "no desktop entry"
else
    desktop-file-validate "$entry" || fail "desktop-file-validate rejects the desktop entry"
    # The entry starts an installed program and names an installed icon.
    exec_name=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$entry")
    icon_name=$(sed -n 's/^Icon=//p' "$entry")
    [[ -x "$root/bin/$exec_name" ]] || fail "Exec=$exec_name is not an installed program"
    [[ -f "$root/share/icons/hicolor/48x48/apps/$icon_name.png" ]] || fail "Icon=$icon_name is not an installed icon"
fi

# Nothing lands outside the prefix.
outside=$(cd "$scratch" && find . -mindepth 1 -maxdepth 1 ! -name "${prefix#/}")
[[ -z "$outside" ]] || fail "installed outside $prefix: $outside"

if [[ $failures -gt 0 ]]; then
    exit 1
fi
echo "installed: $(cd "$scratch" && find . -type f | wc -l) files"
