#!/usr/bin/env bash
# Builds the Debian package from a configured and built folder and checks it: file name,
# control fields, the files it installs, and the desktop entry and AppStream metadata
# as they land on the system.
#   scripts/check-package.sh BUILD_DIR VERSION [OUT_DIR]
set -euo pipefail

build=$(cd "$1" && pwd)
version=$2
out=${3:-$build/package-check}
app_id=io.github.dx400.dx400

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

for tool in cpack dpkg-deb desktop-file-validate appstreamcli; do
    command -v "$tool" >/dev/null || { echo "FAIL: $tool is not installed" >&2; exit 1; }
done

rm -rf "$out"
mkdir -p "$out"
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$out" >"$out/cpack.log" 2>&1 ||
    { cat "$out/cpack.log" >&2; echo "FAIL: cpack" >&2; exit 1; }

deb="$out/dx400_${version}_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || { ls "$out" >&2; echo "FAIL: no $deb" >&2; exit 1; }
echo "Built $(basename "$deb")"

# Control fields.
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = dx400 ] || fail "Package is '$(field Package)'"
[ "$(field Version)" = "$version" ] || fail "Version is '$(field Version)'"
[ -n "$(field Maintainer)" ] || fail "no Maintainer"
[ -n "$(field Section)" ] || fail "no Section"
[ -n "$(field Description)" ] || fail "no Description"
depends=$(field Depends)
# fonts-nanum and the platform plugins are named by hand; libqt6widgets6 and
# libqt6serialport6 can only come from dpkg-shlibdeps reading the binaries.
for dep in fonts-nanum qt6-qpa-plugins libqt6widgets6 libqt6serialport6 libc6; do
    grep -Eq "(^|, )$dep( |,|$)" <<<"$depends" || fail "Depends lacks $dep: $depends"
done

# Files.
listing=$(dpkg-deb -c "$deb" | awk '{print $NF}')
expected=(
    ./usr/bin/dx400
    ./usr/bin/dx400ctl
    ./usr/bin/dx400-sim
    ./usr/share/man/man1/dx400ctl.1.gz
    "./usr/share/applications/$app_id.desktop"
    "./usr/share/icons/hicolor/scalable/apps/$app_id.svg"
    "./usr/share/metainfo/$app_id.metainfo.xml"
)
for path in "${expected[@]}"; do
    grep -qxF "$path" <<<"$listing" || fail "package lacks $path"
done
# Nothing else: a library's or test's install rule must not slip into the package.
while read -r path; do
    printf '%s\n' "${expected[@]}" | grep -qxF "$path" || fail "package has stray $path"
done < <(grep -v '/$' <<<"$listing")

root="$out/root"
dpkg-deb -x "$deb" "$root"
for exe in dx400 dx400ctl dx400-sim; do
    [ -x "$root/usr/bin/$exe" ] || fail "usr/bin/$exe is not executable"
done

manual="$root/usr/share/man/man1/dx400ctl.1.gz"
# The manual page renders without a warning where groff is installed.
if [ -f "$manual" ] && command -v groff >/dev/null; then
    report=$(zcat "$manual" | groff -man -Tutf8 -ww -z 2>&1) || fail "groff failed on the manual page"
    [ -z "$report" ] || fail "groff warns about the manual page: $report"
fi

desktop="$root/usr/share/applications/$app_id.desktop"
metainfo="$root/usr/share/metainfo/$app_id.metainfo.xml"
icon="$root/usr/share/icons/hicolor/scalable/apps/$app_id.svg"
if [ -f "$desktop" ]; then
    # Hints and warnings count too: the validator only fails on errors.
    report=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop-file-validate"
    [ -z "$report" ] || fail "desktop-file-validate: $report"
    grep -qx "Exec=dx400" "$desktop" || fail "desktop entry does not start dx400"
    grep -qx "Icon=$app_id" "$desktop" || fail "desktop entry names another icon"
    grep -q '^Comment\[ko\]=' "$desktop" || fail "desktop entry has no Korean comment"
fi
if [ -f "$icon" ]; then
    grep -q '<svg' "$icon" || fail "icon is not an SVG"
fi
if [ -f "$metainfo" ]; then
    appstreamcli validate --no-net "$metainfo" || fail "appstreamcli validate"
    # The whole tree: also finds a launchable whose desktop file is not installed.
    appstreamcli validate-tree --no-net "$root" || fail "appstreamcli validate-tree"
    grep -q "<release version=\"$version\"" "$metainfo" ||
        fail "metainfo has no release entry for $version"
fi

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed" >&2
    exit 1
fi
echo "Package checks passed"
