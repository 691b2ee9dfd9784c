#!/bin/bash
# Builds the Debian package once and checks what a shop's computer gets from
# it: the files, the dependencies, the menu entries and file types, a
# workspace written by the installed command line, and lintian's verdict.
# Skipped (77) without the Debian packaging tools.
set -u
for tool in cpack dpkg-deb dpkg-shlibdeps; do
    command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done
out=$(mktemp -d /tmp/vexel-package-test.XXXXXX)
trap 'rm -rf "$out"' EXIT
failed=0
fail() { echo "FAILED: $*"; failed=1; }
has() { command -v "$1" >/dev/null; }

cpack -G DEB --config "$1/CPackConfig.cmake" -B "$out" >"$out/cpack.log" 2>&1 || { cat "$out/cpack.log"; exit 1; }
deb=$(ls "$out"/vexel2d_*.deb)
files=$(dpkg-deb -c "$deb" | awk '{print substr($6, 2)}')
modules='/usr/lib/*/vexel2d/vexel2d-download.so'
[ -f "$1/bin/vexel2d-pdf.so" ] && modules="$modules /usr/lib/*/vexel2d/vexel2d-pdf.so"
for f in /usr/bin/{vexel2d,vexel2d-cli,v2dtool,vexel2d-web} '/usr/lib/*/vexel2d/VexellDll.so' $modules \
         /usr/share/vexel2d/translations/vexel2d_en.qm \
         /usr/share/applications/{vexel2d,v2dtool}.desktop /usr/share/mime/packages/vexel2d.xml \
         /usr/share/doc/vexel2d/{copyright,changelog.Debian.gz} /usr/share/man/man1/vexel2d.1.gz \
         /usr/share/icons/hicolor/scalable/apps/{vexel2d,v2dtool}.svg; do
    grep -qx "${f//\*/[^/]*}" <<<"$files" || fail "the package lacks $f"
done
if has rsvg-convert; then
    [ "$(grep -c '^/usr/share/icons/hicolor/[0-9]*x[0-9]*/apps/vexel2d.png$' <<<"$files")" = 6 ] || fail "PNG icons"
fi
for lib in libqt6widgets6 libopencv-imgproc libsqlcipher; do
    dpkg-deb -f "$deb" Depends | grep -q "$lib" || fail "Depends lacks $lib"
done

dpkg-deb -x "$deb" "$out/root"
share=$out/root/usr/share
if has desktop-file-validate; then desktop-file-validate "$share"/applications/*.desktop || fail "desktop files"; fi
if has xmllint; then xmllint --noout "$share/mime/packages/vexel2d.xml" || fail "xmllint"; fi
if has update-mime-database; then
    mkdir -p "$out/mime/packages" && cp "$share/mime/packages/vexel2d.xml" "$out/mime/packages/"
    update-mime-database "$out/mime" >/dev/null 2>&1 || fail "update-mime-database"
    grep -q 'application/x-vexel2d-scheme:\*\.v2d' "$out/mime/globs2" || fail "no type for *.v2d"
    grep -q 'application/x-vexel2d-model:\*\.c2d' "$out/mime/globs2" || fail "no type for *.c2d"
fi
grep -q '^MimeType=application/x-vexel2d-scheme;' "$share/applications/vexel2d.desktop" || fail "no handler for schemes"

# The installed command line finds its library under /usr/lib and writes a workspace.
"$out/root/usr/bin/vexel2d-cli" make-workspace "$out/ws" && [ -f "$out/ws/DB/PRODUCT.cdb" ] || fail "make-workspace"

if has lintian; then
    lintian --tag-display-limit 0 "$deb" 2>&1 | tee "$out/lintian.log"
    ! grep -q '^E:' "$out/lintian.log" || fail "lintian reports errors"
fi
exit $failed
