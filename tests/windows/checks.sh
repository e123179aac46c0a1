#!/usr/bin/env bash
# The Windows checks shown the faults they are there to catch, on the build
# that scripts/build-windows left (signed with the certificate CERT, made by
# scripts/test-windows): files planted in the folder before its notices are
# written (a DLL in capitals, a font), the cached Qt placed inside the checkout,
# an installer whose bill misses a plug-in it packs, a DLL linked without ASLR,
# and the signatures (verified with CERT, refused once a byte changes, and the
# same file again when attached to the unsigned one).
# Usage: tests/windows/checks.sh CERT
set -euo pipefail
cd "$(dirname "$0")/../.."
cert=$(realpath "$1")
out=build-windows
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$out/CMakeCache.txt")
export SOURCE_DATE_EPOCH=$(cat "$out/source-date-epoch")
setup="$out/xelt-ombrel-astrology-$version-setup.exe"
sbom="$out/xelt-ombrel-astrology-$version.cdx.json"
qt=$(scripts/build-qt-windows 2>/dev/null | tail -1)
qt_source=$(scripts/qt-windows-source "$qt" 2>/dev/null | tail -1)
tmp=$(mktemp -d "$PWD/$out/checks.XXXXXX")
trap 'rm -rf "$tmp"' EXIT
failed=0

# Runs a check that must fail with output matching WANT.
must_fail() {
  local what=$1 want=$2 log
  shift 2
  if log=$("$@" 2>&1); then
    echo "FAIL: $what: the check passed"; failed=1
  elif ! grep -qE "$want" <<< "$log"; then
    echo "FAIL: $what: not the fault wanted ($want):"; echo "$log" | tail -5; failed=1
  else
    echo "ok: $what"
  fi
}
must_pass() {
  local what=$1 log
  shift
  log=$("$@" 2>&1) && echo "ok: $what" || { echo "FAIL: $what:"; echo "$log" | tail -5; failed=1; }
}

# The folder again, with what PLANT puts in it, its notices written anew from
# ORIGINS with QT as Qt.
notices_again() {
  local dir=$1 origins=$2 qtdir=$3 plant=${4:-true}
  rm -rf "$dir" && mkdir -p "$dir" && cp -a "$out/stage/Xelt Ombrel Astrology/." "$dir/"
  rm "$dir"/*.cdx.json
  $plant "$dir"
  scripts/windows-notices "$dir" "$origins" "$qtdir" "$qt_source" "$out"/*-qt-source.tar.xz \
    "$version" "$dir.cdx.json" "$out/nsis-pass.log" "$out/uninstall.exe" "$(basename "$setup")"
  cp "$dir.cdx.json" "$dir/"
}

must_pass "the built folder" scripts/check-windows-dlls "$out/stage/Xelt Ombrel Astrology" "$out/uninstall.exe"
for f in "$setup" "$out/uninstall.exe"; do
  must_pass "what $(basename "$f") packs" scripts/check-windows-dlls --installer "$f" "$sbom"
done

# Planted before the notices are written: each gets a hash, but no notice, no licence.
plant() {
  mkdir -p "$1/fonts"
  cp "$1/libwinpthread-1.dll" "$1/FOO.DLL"
  printf 'not a real font' > "$1/fonts/extra.ttf"
}
notices_again "$tmp/planted" "$out/origins.txt" "$qt" plant
must_fail "a DLL in capitals" 'FOO\.DLL: no notice covers it' scripts/check-windows-dlls "$tmp/planted"
must_fail "a font" 'fonts/extra\.ttf has no licence' scripts/check-windows-dlls "$tmp/planted"

# Qt inside the checkout, as where a CI caches in its work folder: still Qt's.
cp -a "$qt" "$tmp/qt"
sed "s|$qt/|$tmp/qt/|" "$out/origins.txt" > "$tmp/origins.txt"
notices_again "$tmp/inside" "$tmp/origins.txt" "$tmp/qt"
ours=$(grep -A1 -x 'Xelt Ombrel Astrology' "$tmp/inside/licenses/NOTICES.txt" | tail -1)
[ "$ours" = "  Files: xelt-ombrel-astrology.exe, xelt-ombrel-astrology.com" ] &&
  echo "ok: Qt inside the checkout is still Qt's" || { echo "FAIL: our files, with Qt inside the checkout: $ours"; failed=1; }

# An installer whose bill misses the System plug-in it packs.
jq 'del(.. | objects | select(.name? == "NSIS plug-in System"))' "$sbom" > "$tmp/no-system.json"
must_fail "a plug-in missing from the bill" 'packs \$PLUGINSDIR/System\.dll' \
  scripts/check-windows-dlls --installer "$setup" "$tmp/no-system.json"

# A DLL without ASLR, among otherwise sound files.
mkdir -p "$tmp/aslr"
printf '__declspec(dllexport) int f(void) { return 1; }\n' > "$tmp/f.c"
printf '__declspec(dllimport) int f(void);\nint main(void) { return f(); }\n' > "$tmp/m.c"
x86_64-w64-mingw32-gcc-posix -shared -Wl,--disable-dynamicbase -o "$tmp/aslr/f.dll" "$tmp/f.c"
x86_64-w64-mingw32-gcc-posix -o "$tmp/aslr/m.exe" "$tmp/m.c" "$tmp/aslr/f.dll"
must_fail "a DLL linked with --disable-dynamicbase" 'f\.dll is not hardened: no DYNAMIC_BASE' \
  scripts/check-windows-dlls "$tmp/aslr"

# The release's signatures: each verifies, none survives a changed byte, and
# attached to the unsigned build of the same file each gives the signed one.
sigs="$out/xelt-ombrel-astrology-$version-signatures"
for f in "$setup" "$out/uninstall.exe" "$out/stage/Xelt Ombrel Astrology/xelt-ombrel-astrology.exe"; do
  must_pass "the signature of $(basename "$f")" osslsigncode verify -CAfile "$cert" -in "$f"
  cp "$f" "$tmp/changed.exe"
  printf 'X' | dd of="$tmp/changed.exe" bs=1 seek=4096 conv=notrunc 2>/dev/null
  must_fail "$(basename "$f") changed after signing" 'Signature verification: failed|Failed' \
    osslsigncode verify -CAfile "$cert" -in "$tmp/changed.exe"
done
osslsigncode remove-signature -in "$out/uninstall.exe" -out "$tmp/unsigned.exe" >/dev/null
XELT_SIGNATURES=$sigs XELT_SIGNATURES_CA=$cert scripts/windows-sign "$tmp/unsigned.exe" uninstall.exe "$tmp/sigs"
must_pass "the published signature attached to the unsigned uninstaller" cmp "$tmp/unsigned.exe" "$out/uninstall.exe"
exit "$failed"
