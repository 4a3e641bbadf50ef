#!/bin/sh
# Builds the Debian package in a configured and built build folder (default
# "build") and checks it: the executable, the desktop entry, the icons, the
# AppStream metadata and every shipped skin are in it, and the program
# unpacked from it answers --version and finds its skins and sounds.
set -eu
source_dir=$(cd "$(dirname "$0")/.." && pwd)
build_dir=$(cd "${1:-build}" && pwd)

cd "$build_dir"
rm -f k80x_*.deb
cpack -G DEB
deb=$(ls k80x_*.deb)
contents=$(dpkg-deb --contents "$deb")

fail() {
    echo "check-deb: $*" >&2
    exit 1
}
# The line of a packaged path ("./usr/bin/k80x"); fails when it is missing.
entry() {
    line=$(printf '%s\n' "$contents" | awk -v path="$1" '$NF == path')
    [ -n "$line" ] || fail "$deb lacks $1"
    printf '%s\n' "$line"
}

entry ./usr/bin/k80x | grep -q '^-rwxr-xr-x ' || fail "./usr/bin/k80x is not executable"
entry ./usr/bin/k80x-cli | grep -q '^-rwxr-xr-x ' || fail "./usr/bin/k80x-cli is not executable"
desktop=$(printf '%s\n' "$contents" | awk '$NF ~ /^\.\/usr\/share\/applications\/.*\.desktop$/ {print $NF}')
[ -n "$desktop" ] || fail "$deb lacks a desktop entry"
app_id=$(basename "$desktop" .desktop)
entry "./usr/share/metainfo/$app_id.metainfo.xml" >/dev/null
entry ./usr/share/icons/hicolor/scalable/apps/k80x.svg >/dev/null
for size in 16 32 48 64 128 256; do
    entry "./usr/share/icons/hicolor/${size}x${size}/apps/k80x.png" >/dev/null
done
for skin in "$source_dir"/skins/*.asz; do
    entry "./usr/share/k80x/skins/$(basename "$skin")" >/dev/null
done
dpkg-deb --field "$deb" Depends | grep -q 'libqt6serialport6' || fail "Depends lacks the Qt serial port library"

# The packaged program, unpacked elsewhere, still finds its own data.
unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
dpkg-deb -x "$deb" "$unpacked"
grep -qx 'Exec=k80x' "$unpacked/${desktop#./}" || fail "the desktop entry does not start k80x"
[ "$("$unpacked/usr/bin/k80x" --version)" = "k80x $(dpkg-deb --field "$deb" Version)" ] \
    || fail "k80x --version does not name the package's version"
[ "$("$unpacked/usr/bin/k80x-cli" --version)" = "k80x-cli $(dpkg-deb --field "$deb" Version)" ] \
    || fail "k80x-cli --version does not name the package's version"
data=$("$unpacked/usr/bin/k80x" --show-data) || fail "k80x --show-data: $data"
for skin in "$source_dir"/skins/*.asz; do
    printf '%s\n' "$data" | grep -qx "skin: $unpacked/usr/share/k80x/skins/$(basename "$skin")" \
        || fail "the unpacked program does not find $(basename "$skin"): $data"
done
echo "check-deb: $deb checked"
