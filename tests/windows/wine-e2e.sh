#!/usr/bin/env bash
# The installed Windows program under Wine, in real windows on a private X
# server with a window manager, driven only from the keyboard: a silent
# install, the console companion answering in cmd /c, a start from cmd that
# returns at once and writes nothing there, a start from the Start-menu shortcut, the update
# question answered Yes (the page reaches a stand-in browser), a second copy
# refused, install and uninstall refused while it runs (silently with status
# 2, asked with Retry and Cancel), the About window over a menu bar greyed
# alike, name, date and Alt+O, Esc to the farewell window, Enter to the end
# with exit code 0, the remembered date in the registry, then a reinstall and
# an uninstall by the Apps & features entry's quiet command. With
# --no-font-mapping the prefix keeps Wine's fonts as a Wine user has them
# (no Verdana, no stand-in named for it): the screenshots show which face
# the program falls back to.
# Usage: wine-e2e.sh <setup.exe> <work folder> <screenshot folder> [--no-font-mapping]
set -euo pipefail
setup=$(realpath "$1") work=$2 shots=$3 mapping=${4:-}
repo=$(cd "$(dirname "$0")/../.." && pwd)
rm -rf "$work" "$shots" && mkdir -p "$work" "$shots"
work=$(realpath "$work")
export WINEPREFIX=$work/prefix
run() { "$repo/scripts/wine-run" "$@"; }

source "$repo/scripts/xvfb.sh"
source "$repo/tests/support/walk.sh"
xvfb= wm= app= browser=
cleanup() {
  set +e
  [ -n "$browser" ] && rm -rf "${browser%/browser}"
  [ -n "$app" ] && kill "$app" 2>/dev/null
  wineserver -k 2>/dev/null
  # Whatever still runs in this prefix: -k misses a server it cannot reach.
  for env in /proc/[0-9]*/environ; do
    pid=${env//[^0-9]/}
    [ "$pid" != $$ ] && [ "$pid" != "$wm" ] && [ "$pid" != "$xvfb" ] && grep -qzxF "WINEPREFIX=$WINEPREFIX" "$env" 2>/dev/null &&
      kill -KILL "$pid" 2>/dev/null
  done
  [ -n "$wm" ] && kill "$wm" 2>/dev/null
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
  true
}
trap cleanup EXIT
start_xvfb "$work/xvfb.log" 1280x1024x24
export DBUS_SESSION_BUS_ADDRESS=unix:path=/nonexistent/bus
openbox >"$work/openbox.log" 2>&1 &
wm=$!

fail() { echo "FAIL: $*" >&2; exit 1; }
step() { echo "-- $*"; }
named() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | sort || true; }
# Waits for a visible window titled $1 that is not in $2, and prints its id.
new_titled_window() {
  local title=$1 before=${2:-} w
  for _ in $(seq 300); do
    w=$(comm -13 <(echo "$before" | sort) <(named "$title") | sed '/^$/d' | head -1)
    [ -n "$w" ] && { echo "$w"; return; }
    sleep 0.1
  done
  fail "no new window '$title'"
}
shoot() { sleep 0.5; timeout 20 import -window "$1" "$shots/$2.png" || fail "no screenshot $2"; echo "saved $shots/$2.png"; }
# Runs "$@" and fails unless it ends with exit code $1 (the first argument).
status_is() {
  local want=$1 status=0
  shift
  "$@" || status=$?
  [ "$status" = "$want" ] || fail "$* ended with exit code $status, not $want"
}
key_path='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\XeltOmbrelAstrology'
entry() { { run reg query "$key_path" /v "$1" 2>/dev/null || true; } | tr -d '\r' | sed -n "s/^ *$1 *REG_SZ *//p"; }
# The Apps & features entry's quiet uninstall command, run by cmd as a tool would.
quiet_uninstall() {
  entry QuietUninstallString >"$WINEPREFIX/drive_c/uninstall.bat"
  [ -s "$WINEPREFIX/drive_c/uninstall.bat" ] || fail "no QuietUninstallString"
  run cmd /c 'C:\uninstall.bat' >/dev/null
}
# The installed files with their contents, and the entry, as they stand.
snapshot() {
  ( cd "$dir" && find . -type f -exec md5sum {} + | sort -k2 )
  entry DisplayVersion
  if [ -f "$link" ]; then echo "shortcut"; fi
}
# The darkest grey (0 black to 255 white) of each word on the menu bar, the
# top 18 pixels of the window's picture $1, left to right.
title_greys() {
  local w
  w=$(identify -format '%w' "$1")
  convert "$1" -crop "${w}x18+0+0" +repage -colorspace Gray -depth 8 txt:- |
    sed -n 's/^\([0-9]*\),[0-9]*: *(\([0-9.]*\).*/\1 \2/p' |
    awk '{ v = int($2); if (!($1 in m) || v < m[$1]) m[$1] = v; if ($1 > w) w = $1 }
         END { gap = 99
               for (x = 0; x <= w; x++) {
                 if (m[x] < 200) { if (gap > 5) { n++; d[n] = 255 }; if (m[x] < d[n]) d[n] = m[x]; gap = 0 }
                 else gap++ }
               for (i = 1; i <= n; i++) printf "%d ", d[i] }'
}
# Writes the lines of standard input as C:\$1.bat, run in the program's folder
# by `cmd /c` as a script would: its output goes to $work/$1.txt, its errors
# to $work/$1.err. Fails only when cmd has not ended within 60 s.
batch() {
  { printf '@echo off\r\ncd /d "%s"\r\n' "$windir"; sed 's/$/\r/'; } >"$WINEPREFIX/drive_c/$1.bat"
  local status=0
  timeout 60 "$repo/scripts/wine-run" cmd /c "C:\\$1.bat" 2>"$work/$1.err" | tr -d '\r' >"$work/$1.txt" ||
    status=$?
  [ "$status" != 124 ]
}

step "fresh prefix, stand-in browser"
"$repo/scripts/wine-prefix" "$WINEPREFIX" $mapping
# Wine's browser list splits at spaces: the stand-in lives where no path has any.
browser=$(mktemp -d /tmp/xelt-browser-XXXXXX)/browser
cat >"$browser" <<EOB
#!/bin/sh
printf '%s\n' "\$1" >>"$work/opened"
EOB
chmod +x "$browser"
run reg add 'HKCU\Software\Wine\WineBrowser' /v Browsers /d "$browser" /f >/dev/null

step "silent install"
run "$setup" /S
wineserver -w
user=$(ls "$WINEPREFIX/drive_c/users" | grep -vx Public | head -1)
home="$WINEPREFIX/drive_c/users/$user"
dir="$home/AppData/Local/Programs/Xelt Ombrel Astrology"
link="$home/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Xelt Ombrel Astrology.lnk"
[ -f "$dir/xelt-ombrel-astrology.exe" ] || fail "program not installed in $dir"
[ -f "$link" ] || fail "no Start-menu shortcut"
run reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\XeltOmbrelAstrology' \
  /v DisplayName | grep -q 'Xelt Ombrel Astrology' || fail "no Apps & features entry"
( cd "$dir" && find . -type f | sort ) | tee "$work/installed.txt"
# The portable folder's files, notices and bill of materials among them, and the uninstaller.
stage="$(dirname "$setup")/stage/Xelt Ombrel Astrology"
( cd "$stage" && { find . -type f; echo ./uninstall.exe; } | sort ) | diff - "$work/installed.txt" ||
  fail "installed other files than the portable folder holds"
# The uninstaller as the bill lists it (signed, when the build is).
cmp "$dir/uninstall.exe" "$(dirname "$setup")/uninstall.exe" || fail "installed another uninstaller than the bill lists"
windir='C:\users\'"$user"'\AppData\Local\Programs\Xelt Ombrel Astrology'

step "--version on the console the program was started from"
version=$(timeout 60 "$repo/scripts/wine-run" "$dir/xelt-ombrel-astrology.exe" --version) ||
  fail "--version failed or hung"
want=${setup##*/xelt-ombrel-astrology-}
[ "$(echo "$version" | tr -d '\r')" = "xelt-ombrel-astrology ${want%-setup.exe}" ] ||
  fail "--version printed '$version'"

step "cmd runs the console companion and waits: /?, --help, --bogus with their exit status"
batch options <<'EOC' || fail "cmd /c did not end: $(cat "$work/options.txt")"
xelt-ombrel-astrology /?
echo status %ERRORLEVEL%
xelt-ombrel-astrology --help
echo status %ERRORLEVEL%
xelt-ombrel-astrology --bogus
echo status %ERRORLEVEL%
EOC
got=$(grep -E '^(Usage: |status )' "$work/options.txt" | sed 's/ \[options\]$//' | tr '\n' '|')
[ "$got" = "Usage: xelt-ombrel-astrology|status 0|Usage: xelt-ombrel-astrology|status 0|status 1|" ] ||
  fail "cmd /c said, in this order: $got"$'\n'"$(cat "$work/options.txt")"
grep -q -- '^  -h, --help, -?, /?  *Show this help' "$work/options.txt" || fail "the help lists no /?"
grep -q "Unknown option 'bogus'" "$work/options.err" || fail "--bogus said: $(cat "$work/options.err")"

step "started from cmd, the program opens its window; cmd goes on at once and gets nothing"
batch plain <<'EOC' &
xelt-ombrel-astrology
echo status %ERRORLEVEL%
EOC
script=$!
plain=$(new_titled_window "Xelt Ombrel Astrology v1.15")
has_focus "" "$plain" "the main window started from cmd"
ended "$script" 200 "cmd /c, while the program runs,"
[ "$(cat "$work/plain.txt" "$work/plain.err")" = "status 0" ] ||
  fail "a normal start wrote to the console: $(cat "$work/plain.txt" "$work/plain.err")"
key Escape
farewell=$(new_titled_window "Xelt Ombrel Astrology v1.15" "$plain")
has_focus "" "$farewell" "the farewell window"
key Return
for _ in $(seq 100); do [ -z "$(named "Xelt Ombrel Astrology v1.15")" ] && break; sleep 0.1; done
for _ in $(seq 100); do pgrep -f 'xelt-ombrel-astrology\.exe' >/dev/null || break; sleep 0.1; done
pgrep -f 'xelt-ombrel-astrology\.exe' >/dev/null && fail "the program started from cmd did not end"

step "last asked as long ago as the interval, so the update question comes first"
run reg add 'HKCU\Software\xelt-ombrel-astrology\Settings' /v Duration \
  /d "$(question_due)" /f >/dev/null

step "start from the Start-menu shortcut"
winlink='C:\users\'"$user"'\AppData\Roaming\Microsoft\Windows\Start Menu\Programs\Xelt Ombrel Astrology.lnk'
"$repo/scripts/wine-run" start /wait "$winlink" &
app=$!
question=$(new_titled_window "Xelt Ombrel Astrology")
has_focus "" "$question" "the update question"
key Return # Yes is the default answer
for _ in $(seq 100); do [ -s "$work/opened" ] && break; sleep 0.1; done
expected="https://www.veyrasoftwares.com/xelt-free-ombrel-astrology/ssd.php?page=download-web-page"
[ "$(cat "$work/opened" 2>/dev/null)" = "$expected" ] ||
  fail "the browser got '$(cat "$work/opened" 2>/dev/null)', not $expected"

main=$(new_titled_window "Xelt Ombrel Astrology v1.15")
has_focus "" "$main" "the main window"
shoot "$main" 1-main

step "a second copy is refused"
QT_FORCE_STDERR_LOGGING=1 QT_LOGGING_RULES="xelt.messages.info=true" \
  run "$dir/xelt-ombrel-astrology.exe" 2>"$work/second.log" &
second=$!
box=$(new_titled_window "Xelt Ombrel Astrology" "$question")
has_focus "" "$box" "the second copy's message"
shoot "$box" 1a-second-copy
key Return
ended "$second" 200 "the second copy"
grep -q "message: Application is already running" "$work/second.log" ||
  fail "the second copy said: $(cat "$work/second.log")"

step "install over the running program: silently nothing changes, exit code 2"
snapshot >"$work/before.txt"
touch "$work/marker"
status_is 2 run "$setup" /S
snapshot | diff "$work/before.txt" - || fail "the install over the running program changed this"
written=$(find "$dir" -cnewer "$work/marker")
[ -z "$written" ] || fail "the install over the running program wrote $written"

step "uninstall while it runs (the entry's quiet command): nothing changes, exit code 2"
status_is 2 quiet_uninstall
snapshot | diff "$work/before.txt" - || fail "the uninstall while it runs changed this"
[ -z "$(find "$dir" -cnewer "$work/marker")" ] || fail "the uninstall while it runs wrote there"

step "the interactive installer asks to close it; Cancel leaves it as it is"
before=$(named "Xelt Ombrel Astrology Setup")
run "$setup" &
installer=$!
ask=$(new_titled_window "Xelt Ombrel Astrology Setup" "$before")
has_focus "" "$ask" "the installer's question"
shoot "$ask" 1b-installer-asks-to-close
key Escape
ended "$installer" 200 "the installer" 1
snapshot | diff "$work/before.txt" - || fail "the cancelled install changed this"

step "About open: the menu bar greys every title alike"
xdotool windowactivate --sync "$main" 2>/dev/null || true
has_focus "" "$main" "the main window"
key alt+h a
about=$(new_titled_window "Xelt Ombrel Astrology v1.15" "$main")
has_focus "" "$about" "the About window"
shoot "$main" 1c-main-under-about
titles=$(title_greys "$shots/1c-main-under-about.png")
echo "darkest grey of each title: $titles"
set -- $titles
[ $# -ge 4 ] || fail "found $# words on the menu bar, not the four titles: $titles"
for t; do
  [ "$t" -ge 60 ] || fail "a title is drawn black under the About window: $titles"
  [ $((t - $1)) -le 24 ] && [ $(($1 - t)) -le 24 ] || fail "the titles are not greyed alike: $titles"
done
key Escape
has_focus "" "$main" "the main window"

step "name, date, Alt+O"
xdotool windowactivate --sync "$main" 2>/dev/null || true
has_focus "" "$main" "the main window"
type_text "ann bee"
key Tab; type_text 19
key Tab; type_text Dec
key Tab; type_text 1993
key alt+o
result=$(new_titled_window "Xelt Ombrel Astrology v1.15" "$main")
has_focus "" "$result" "the result window"
shoot "$result" 2-result

step "Esc to the farewell window, Enter to the end"
key Escape
farewell=$(new_titled_window "Xelt Ombrel Astrology v1.15" "$main"$'\n'"$result")
has_focus "" "$farewell" "the farewell window"
shoot "$farewell" 3-farewell
key Return
ended "$app" 200 "the program"
app=
echo "ended with exit code 0"

step "the remembered date is today's, in the registry"
run reg query 'HKCU\Software\xelt-ombrel-astrology\Settings' /v Duration | tee "$work/reg.txt"
grep -q "$(date +%F)" "$work/reg.txt" || fail "Duration is not today"

step "install again, now that it has ended: done, exit code 0"
status_is 0 run "$setup" /S
wineserver -w
( cd "$dir" && find . -type f | sort ) | diff "$work/installed.txt" - || fail "reinstalled other files"

step "uninstall by the entry's quiet command: done, exit code 0"
status_is 0 quiet_uninstall
for _ in $(seq 100); do [ ! -e "$dir" ] && break; sleep 0.2; done
wineserver -w
[ ! -e "$dir" ] || fail "left behind: $(cd "$dir" && find . | tr '\n' ' ')"
[ ! -e "$link" ] || fail "the Start-menu shortcut is left"
if run reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\XeltOmbrelAstrology' >/dev/null 2>&1; then
  fail "the Apps & features entry is left"
fi
echo "PASS: installed, used, ended with 0 and uninstalled under Wine"
