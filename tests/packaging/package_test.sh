#!/bin/bash
# Builds the Debian package once and checks what a shop's computer gets from
# it: the file list, the dependencies, the menu entries and file types, a
# workspace written by the installed command line, and lintian's verdict.
# Skipped (77) without the Debian packaging tools.
set -u
build=$1
for tool in cpack dpkg-deb dpkg-shlibdeps; do
    command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done
out=$(mktemp -d /tmp/vexel-package-test.XXXXXX)
trap 'rm -rf "$out"' EXIT
failed=0
fail() { echo "FAILED: $*"; failed=1; }

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$out" >"$out/cpack.log" 2>&1 || { cat "$out/cpack.log"; exit 1; }
deb=$(ls "$out"/vexel2d_*.deb)
files=$(dpkg-deb -c "$deb" | awk '{print substr($6, 2)}')
for f in /usr/bin/vexel2d /usr/bin/vexel2d-cli /usr/bin/v2dtool /usr/bin/vexel2d-web '/usr/lib/*/vexel2d/VexellDll.so' \
         /usr/share/applications/vexel2d.desktop /usr/share/applications/v2dtool.desktop \
         /usr/share/mime/packages/vexel2d.xml /usr/share/doc/vexel2d/copyright /usr/share/doc/vexel2d/changelog.Debian.gz \
         /usr/share/icons/hicolor/scalable/apps/vexel2d.svg /usr/share/icons/hicolor/scalable/apps/v2dtool.svg; do
    grep -qx "${f//\*/[^/]*}" <<<"$files" || fail "the package lacks $f"
done
if command -v rsvg-convert >/dev/null; then
    [ "$(grep -c '^/usr/share/icons/hicolor/[0-9]*x[0-9]*/apps/vexel2d.png$' <<<"$files")" = 6 ] || fail "vexel2d's PNG icons"
fi
depends=$(dpkg-deb -f "$deb" Depends)
for lib in libqt6widgets6 libopencv-imgproc libsqlcipher; do
    grep -q "$lib" <<<"$depends" || fail "Depends lacks $lib: $depends"
done

dpkg-deb -x "$deb" "$out/root"
share=$out/root/usr/share
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$share"/applications/*.desktop || fail "desktop-file-validate"
fi
grep -q '^MimeType=.*application/x-vexel2d-scheme;' "$share/applications/vexel2d.desktop" || fail "vexel2d does not open schemes"
if command -v xmllint >/dev/null; then xmllint --noout "$share/mime/packages/vexel2d.xml" || fail "xmllint"; fi
if command -v update-mime-database >/dev/null; then
    mkdir -p "$out/mime/packages" && cp "$share/mime/packages/vexel2d.xml" "$out/mime/packages/"
    update-mime-database "$out/mime" >/dev/null 2>&1 || fail "update-mime-database"
    grep -q 'application/x-vexel2d-scheme:\*\.v2d' "$out/mime/globs2" || fail "no glob for *.v2d"
    grep -q 'application/x-vexel2d-model:\*\.c2d' "$out/mime/globs2" || fail "no glob for *.c2d"
fi

# The installed command line finds its library in /usr/lib/TRIPLET/vexel2d and writes a workspace.
"$out/root/usr/bin/vexel2d-cli" make-workspace "$out/ws" || fail "make-workspace from the package"
[ -f "$out/ws/start/start.v2d" ] && [ -f "$out/ws/DB/PRODUCT.cdb" ] || fail "the workspace is incomplete"

if command -v lintian >/dev/null; then
    lintian --tag-display-limit 0 "$deb" >"$out/lintian.log" 2>&1
    cat "$out/lintian.log"
    ! grep -q '^E:' "$out/lintian.log" || fail "lintian reports errors"
fi
exit $failed
