#!/usr/bin/env bash
# Installs the build into a staging folder and checks what a desktop finds
# there: the program, a valid desktop entry and metainfo that name each other,
# the icon at every theme size, each image really of its size, and a manual
# page that man reads without a warning and that names every option the
# program's --help lists, and the update question's interval as the build sets it.
# Usage: check-install.sh <build folder> <staging folder> <app id> <days between questions>
set -euo pipefail
build=$1 stage=$2 id=$3 days=$4
rm -rf "$stage"
cmake --install "$build" --prefix "$stage" >/dev/null

fail() { echo "FAIL: $*" >&2; exit 1; }
# man's sandbox refuses the shared memory that faketime, moving the clock of a
# test run, needs; the page does not depend on the date.
export MAN_DISABLE_SECCOMP=1
need() { [ -f "$stage/$1" ] || fail "missing $1"; }

need bin/xelt-ombrel-astrology
[ -x "$stage/bin/xelt-ombrel-astrology" ] || fail "program not executable"
desktop=share/applications/$id.desktop
metainfo=share/metainfo/$id.metainfo.xml
need "$desktop"
need "$metainfo"
need "share/icons/hicolor/scalable/apps/$id.svg"

for size in 16 32 48 128 256; do
  png=share/icons/hicolor/${size}x${size}/apps/$id.png
  need "$png"
  # Width and height are the big-endian words at bytes 16 and 20 of a PNG.
  read -r w h < <(od -An -tu1 -j16 -N8 "$stage/$png" |
                  awk '{print $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8}')
  [ "$w" = "$size" ] && [ "$h" = "$size" ] || fail "$png is ${w}x${h}"
done

desktop-file-validate "$stage/$desktop" || fail "desktop-file-validate"
# --strict fails on info-level issues too; pedantic ones are only shown.
appstreamcli validate --no-net --strict --pedantic "$stage/$metainfo" || fail "appstreamcli validate"

manpage=share/man/man1/xelt-ombrel-astrology.1.gz
need "$manpage"
need share/doc/xelt-ombrel-astrology/copyright
need share/doc/xelt-ombrel-astrology/changelog.Debian.gz
gzip -t "$stage/$manpage" || fail "$manpage is not gzip"
# The check lintian makes: any message from groff while formatting is a fault.
warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 \
           man --warnings -E UTF-8 -l -Tutf8 -Z "$stage/$manpage" 2>&1 >/dev/null)
[ -z "$warnings" ] || fail "man reports: $warnings"
page=$(MANWIDTH=80 man -l "$stage/$manpage" 2>/dev/null)
help=$(QT_QPA_PLATFORM=offscreen "$stage/bin/xelt-ombrel-astrology" --help) || fail "--help failed"
options=$(grep -o -E -- '--[a-z][a-z-]*' <<<"$help" | sort -u)
[ -n "$options" ] || fail "--help lists no option"
for option in $options; do
  grep -q -F -e "$option" <<<"$page" || fail "the manual page does not describe $option"
done
# The rule they state, as the program keeps it (tst_updatecheck).
grep -q "At most once in $days days it asks" <<<"$(tr -s ' \n' '  ' <<<"$page")" ||
  fail "the manual page does not say it asks at most once in $days days"
grep -q "asks once every $days days" <<<"$(tr -s ' \n' '  ' <"$stage/$metainfo")" ||
  fail "the metainfo does not say it asks once every $days days"

grep -qx "Exec=xelt-ombrel-astrology" "$stage/$desktop" || fail "Exec does not start the installed program"
grep -qx "Icon=$id" "$stage/$desktop" || fail "Icon is not the installed icon"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$stage/$metainfo" ||
  fail "metainfo does not launch the desktop entry"
echo "install tree complete and valid"
