#!/usr/bin/env bash
# Installs the built programs into a temporary prefix and checks what a desktop needs, then builds
# the Debian package and checks its dependencies and that its programs start. Arguments: the
# build folder, docs/examples.
set -euo pipefail
build=$1
examples=$2
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$tmp/usr" >/dev/null
share="$tmp/usr/share"
for program in dorvent dorvent-calc; do [ -x "$tmp/usr/bin/$program" ] || fail "no $program"; done
desktop-file-validate "$share/applications/org.dorvent.Dorvent.desktop" | grep -v ': hint: ' && fail "desktop entry"
grep -q '^Name\[zh_CN\]=' "$share/applications/org.dorvent.Dorvent.desktop" || fail "no Chinese name"
appstreamcli validate --no-net "$share/metainfo/org.dorvent.Dorvent.metainfo.xml" >/dev/null || fail "metainfo"
[ -f "$share/icons/hicolor/scalable/apps/org.dorvent.Dorvent.svg" ] || fail "no scalable icon"
for size in 16 32 48 64 128 256; do [ -f "$share/icons/hicolor/${size}x${size}/apps/org.dorvent.Dorvent.png" ] || fail "no ${size}px icon"; done

# The type of .dorvent files, by name and by content, and the program that opens them: as a
# desktop without a session of its own asks (xdg-mime's generic path), from this prefix alone.
update-mime-database "$share/mime"
update-desktop-database "$share/applications"
mkdir -p "$tmp/home" "$tmp/config"
cp "$examples/worked-case.dorvent" "$tmp/main.dorvent"
cp "$tmp/main.dorvent" "$tmp/no-extension"
echo '{}' >"$tmp/empty.dorvent"
xdg() {
    env -u XDG_CURRENT_DESKTOP -u DESKTOP_SESSION -u KDE_FULL_SESSION -u GNOME_DESKTOP_SESSION_ID \
        XDG_DATA_HOME="$tmp/home" XDG_DATA_DIRS="$share" XDG_CONFIG_HOME="$tmp/config" XDG_CONFIG_DIRS="$tmp/config" \
        xdg-mime query "$@"
}
for file in main.dorvent no-extension empty.dorvent; do
    type=$(xdg filetype "$tmp/$file")
    [ "$type" = application/x-dorvent-pipeline ] || fail "$file is of type $type"
done
[ "$(xdg default application/x-dorvent-pipeline)" = org.dorvent.Dorvent.desktop ] || fail "no program opens .dorvent files"

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$tmp/deb" >/dev/null
deb=$(ls "$tmp"/deb/dorvent_*.deb)
depends=$(dpkg-deb -f "$deb" Depends)
[ -f "$share/doc/dorvent/copyright" ] && grep -q 'GPL-3.0-or-later' "$share/doc/dorvent/copyright" || fail "no copyright file"
grep -q '<project_license>GPL-3.0-or-later</project_license>' "$share/metainfo/org.dorvent.Dorvent.metainfo.xml" ||
    fail "metainfo licence"
for needed in libqt6widgets6 libqt6gui6 libqt6core6 libqt6printsupport6 qt6-qpa-plugins qt6-translations-l10n \
    'fonts-arphic-uming | fonts-noto-cjk'; do
    [[ "$depends" == *"$needed"* ]] || fail "package does not depend on $needed: $depends"
done
for gone in libqt6charts6 libqt6svg6 libqt6opengl6; do [[ "$depends" != *"$gone"* ]] || fail "package depends on $gone: $depends"; done  # Qt's base modules only
dpkg-deb -x "$deb" "$tmp/root"
# Still running after two seconds: it started and shows its window (offscreen).
status=0
QT_QPA_PLATFORM=offscreen timeout 2 "$tmp/root/usr/bin/dorvent" 2>/dev/null || status=$?
[ "$status" -eq 124 ] || fail "the packaged program ended with status $status"
# Started as the file manager starts it, with a file, or one that is not there: it runs all the
# same (a message box waits for the latter), and the file it opened is first among its recent ones.
command=$(sed -n 's/^Exec=//p' "$share/applications/org.dorvent.Dorvent.desktop")
for file in "$tmp/missing.dorvent" "$tmp/main.dorvent"; do
    status=0
    PATH="$tmp/root/usr/bin:$PATH" QT_QPA_PLATFORM=offscreen XDG_DATA_HOME="$tmp/home" XDG_CONFIG_HOME="$tmp/config" \
        timeout 2 ${command/\%f/$file} 2>/dev/null || status=$?
    [ "$status" -eq 124 ] || fail "the packaged program, given $file, ended with status $status"
done
grep -q "^recentFiles=$tmp/main.dorvent\$" "$tmp/config/Dorvent/dorvent.conf" || fail "the file handed over was not opened"
env -u DISPLAY -u WAYLAND_DISPLAY "$tmp/root/usr/bin/dorvent-calc" --version >/dev/null || fail "the packaged dorvent-calc does not start"
echo "installed files, desktop entry, metainfo, icons and package: all in order"
