#!/usr/bin/env bash
# Unpacks a Jotlark .deb into a temporary root (dpkg -x, nothing is installed on
# the machine) and checks the installed tree: binary, launcher, icons, AppStream
# metadata, manual page, licence and the run-time dependencies the shared-library
# scan cannot see. Usage: tests/package/check-deb.sh jotlark_<version>_<arch>.deb
set -uo pipefail
DEB="$(readlink -f "$1")"
ROOTDIR="$(mktemp -d)"
trap 'rm -rf "$ROOTDIR"' EXIT
dpkg -x "$DEB" "$ROOTDIR" || { echo "dpkg -x failed"; exit 1; }
cd "$ROOTDIR"

APPS=usr/share/applications
ICONS=usr/share/icons/hicolor
META=usr/share/metainfo/org.jotlark.Jotlark.metainfo.xml
DEPENDS="$(dpkg-deb -f "$DEB" Depends)"

# One check a line: what it checks | the command that must succeed.
CHECKS=(
  "binary is an executable ELF program|test -x usr/bin/jotlark && file -b usr/bin/jotlark | grep -q ELF"
  "binary is stripped|file -b usr/bin/jotlark | grep -q ', stripped'"
  "alarm player module sits in lib/jotlark beside bin|file -b usr/lib/jotlark/libjotlark_qtplayer.so | grep -q 'ELF.*shared object'"
  "launcher is valid|desktop-file-validate $APPS/jotlark.desktop"
  "launcher starts the binary on the PATH|grep -qx 'Exec=jotlark' $APPS/jotlark.desktop"
  "launcher has Chinese and English names and comments|grep -q '^Name\\[zh_CN\\]=' $APPS/jotlark.desktop && grep -q '^Comment=' $APPS/jotlark.desktop && grep -q '^Comment\\[zh_CN\\]=' $APPS/jotlark.desktop"
  "launcher icon is installed|grep -qx 'Icon=jotlark' $APPS/jotlark.desktop && test -f $ICONS/scalable/apps/jotlark.svg"
  "PNG icons have their folder's size|for s in 16 22 24 32 48 64 128 256; do file -b $ICONS/\${s}x\${s}/apps/jotlark.png | grep -q \"PNG image data, \$s x \$s\" || exit 1; done"
  "metainfo is valid|appstreamcli validate --no-net $META"
  "metainfo names the launcher, a screenshot, a content rating and the licence|grep -q '<launchable type=\"desktop-id\">jotlark.desktop</launchable>' $META && grep -q '<screenshot' $META && grep -q '<content_rating' $META && grep -q '<project_license>MIT</project_license>' $META"
  "manual page is compressed and readable|gzip -t usr/share/man/man1/jotlark.1.gz && zcat usr/share/man/man1/jotlark.1.gz | grep -q '^\\.TH JOTLARK 1'"
  "licence in the copyright file|grep -q 'License: MIT' usr/share/doc/jotlark/copyright"
  "depends on the zh_CN Qt translation|grep -q 'qt6-translations-l10n' <<<\"\$DEPENDS\""
  "depends on the GStreamer plugins for MP3|grep -q 'gstreamer1.0-plugins-good' <<<\"\$DEPENDS\" && grep -q 'gstreamer1.0-plugins-base' <<<\"\$DEPENDS\""
  "depends on a CJK font|grep -q 'fonts-wqy-microhei' <<<\"\$DEPENDS\""
  "depends on Qt found by the library scan|grep -q 'libqt6widgets6' <<<\"\$DEPENDS\""
)

passed=0
failed=0
for check in "${CHECKS[@]}"; do
  name="${check%%|*}"
  if output="$(DEPENDS="$DEPENDS" bash -c "${check#*|}" 2>&1)"; then
    echo "ok   $name"
    passed=$((passed + 1))
  else
    echo "FAIL $name"
    [ -n "$output" ] && sed 's/^/     /' <<<"$output"
    failed=$((failed + 1))
  fi
done
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
