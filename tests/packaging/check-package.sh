#!/usr/bin/env bash
# Builds the Debian package from the programs already built, unpacks it into a
# temporary root and checks what an office would get: every program answers
# --help and --version from there with no display and no suite, the menu
# entries and the AppStream metadata validate, the manual pages render without
# warnings, the icon is there in every size, the copyright file is in Debian's
# machine-readable format, and lintian finds no error (its warnings are printed).
# Usage: check-package.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/out" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log" >&2; fail "cpack"; }
debs=("$work"/out/qvr-0834_*_amd64.deb)
deb=${debs[0]}
[ -f "$deb" ] || fail "no qvr-0834_<version>_amd64.deb"
version=$(dpkg-deb -f "$deb" Version)
depends=$(dpkg-deb -f "$deb" Depends)
echo "$(basename "$deb")"
echo "Depends: $depends"
for needed in libqt6core6 libqt6widgets6 libqt6sql6-sqlite qt6-translations-l10n fonts-liberation2 libcups2; do
    [[ "$depends" == *"$needed"* ]] || fail "Depends lacks $needed"
done

root="$work/root"
dpkg-deb -x "$deb" "$root"
# No display, no suite: the options must be answered before either is needed.
run() { env -i PATH=/usr/bin:/bin HOME="$work/home" QVR_WINDIR="$work/nosuite" "$@"; }
for program in Kv834 0834IMP Alt834 f0834 qvrhost; do
    exe="$root/usr/bin/$program"
    [ -x "$exe" ] || fail "$program is not in /usr/bin"
    out=$(run "$exe" --version) || fail "$program --version exits $?"
    [ "$out" = "$program $version" ] || fail "$program --version printed '$out', not '$program $version'"
    out=$(run "$exe" --help) && [[ "$out" == *"$program"* ]] || fail "$program --help"
    status=0
    run "$exe" --no-such-option >/dev/null 2>"$work/err" || status=$?
    [ "$status" -eq 2 ] && grep -q "$program" "$work/err" || fail "$program --no-such-option exits $status"
done

for entry in "$root"/usr/share/applications/*.desktop; do
    desktop-file-validate "$entry" || fail "$(basename "$entry")"
done
metainfo="$root/usr/share/metainfo/org.example.qvr_0834.metainfo.xml"
[ -f "$metainfo" ] || fail "AppStream metadata"
appstreamcli validate --pedantic --no-net "$metainfo" || fail "appstreamcli finds the AppStream metadata wanting"
launched=$(sed -n 's|.*<launchable type="desktop-id">\(.*\)</launchable>.*|\1|p' "$metainfo")
[ -f "$root/usr/share/applications/$launched" ] || fail "the AppStream metadata launches '$launched', which is not in the package"
[ -f "$root/usr/share/icons/hicolor/scalable/apps/qvr-0834.svg" ] || fail "scalable icon"
for size in 16 32 48 256; do
    [ -f "$root/usr/share/icons/hicolor/${size}x${size}/apps/qvr-0834.png" ] || fail "${size}x${size} icon"
done
for page in Kv834 0834IMP Alt834 f0834 qvrhost; do
    file="$root/usr/share/man/man1/$page.1.gz"
    [ -f "$file" ] || fail "manual page $page.1"
    LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$file" 2>"$work/warnings" >/dev/null
    [ ! -s "$work/warnings" ] || { cat "$work/warnings" >&2; fail "manual page $page.1 warns"; }
done
for shared in schema/sqlite.sql Kv834.hlp; do
    [ -f "$root/usr/share/qvr-0834/$shared" ] || fail "/usr/share/qvr-0834/$shared"
done

copyright="$root/usr/share/doc/qvr-0834/copyright"
head -n1 "$copyright" | grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' ||
    fail "the copyright file is not in Debian's machine-readable format"

lintian --fail-on error --tag-display-limit 0 "$deb" || fail "lintian reports an error"
echo "package checks passed"
