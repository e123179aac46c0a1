#!/usr/bin/env bash
# The program under a real Wayland compositor (sway, headless, with XWayland):
# with an X display at hand it runs through XWayland, without one natively; a
# second copy ends with exit code 0 once its box is answered, every time; and
# the keyboard walk (name, Alt+O, Back, Exit, Enter on the farewell window)
# ends with exit code 0 both ways, each window taking the focus as it appears.
# sway refuses to run as root: run as root, the test runs it and the program
# as a system user of its own. Usage: wayland-walk.sh <program> <work folder>
set -euo pipefail
source "$(dirname "$0")/../support/walk.sh"
program=$1 work=$2 user=xelt-wayland
rm -rf "$work" && mkdir -p "$work"
# Everything the user reads or writes lives in a folder of its own, under /tmp:
# the compositor's socket in it must keep within a socket path's 108 bytes.
tmp=$(mktemp -d /tmp/xelt-wayland-XXXXXX) && chmod 755 "$tmp"
mkdir -m 700 "$tmp/run" && mkdir "$tmp/home" "$tmp/config" "$tmp/bin"
cp "$program" "$tmp/bin/" && chmod 755 "$tmp/bin/${program##*/}"
program=$tmp/bin/${program##*/}
runas=()
if [ "$(id -u)" = 0 ]; then
  id -u "$user" >/dev/null 2>&1 ||
    useradd --system --no-create-home --home-dir /nonexistent --shell /usr/sbin/nologin "$user"
  chown "$user:" "$tmp/run" "$tmp/home" "$tmp/config"
  runas=(setpriv "--reuid=$user" "--regid=$user" --init-groups)
fi

sway='' xwayland='' app='' second=
# Everything started here, sway's own children too, runs in this runtime folder.
ours() {
  local e
  for e in /proc/[0-9]*/environ; do
    grep -qzx "XDG_RUNTIME_DIR=$tmp/run" "$e" 2>/dev/null && { e=${e#/proc/}; echo "${e%/environ}"; }
  done
  return 0
}
cleanup() {
  local p
  # sway last, so that it collects XWayland.
  for p in $second $app $xwayland $(ours); do [ "$p" = "$sway" ] || kill "$p" 2>/dev/null || true; done
  for _ in $(seq 30); do [ "$(ours)" = "$sway" ] && break; sleep 0.1; done
  [ -n "$sway" ] && kill "$sway" 2>/dev/null
  for _ in $(seq 30); do [ -z "$(ours)" ] && break; sleep 0.1; done
  for p in $(ours); do kill -9 "$p" 2>/dev/null || true; done
  cp "$tmp"/*.log "$work/" 2>/dev/null || true
  rm -rf "$tmp"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*" >&2
  tail -n 5 "$tmp"/*.log >&2 || true
  exit 1
}

# Runs a command as the user in a clean environment; launch leaves it in the
# background with its process id in $launched.
base=(env -i HOME="$tmp/home" XDG_RUNTIME_DIR="$tmp/run" XDG_CONFIG_HOME="$tmp/config"
      PATH=/usr/bin:/bin LC_ALL=C.UTF-8 DBUS_SESSION_BUS_ADDRESS=unix:path=/nonexistent/bus
      GSETTINGS_BACKEND=memory)
# A sanitizer build's settings reach the program through the clean environment.
for v in ASAN_OPTIONS UBSAN_OPTIONS; do [ -n "${!v:-}" ] && base+=("$v=${!v}"); done
as_user() { "${runas[@]}" "${base[@]}" "$@"; }
launch() { local log=$1; shift; "${runas[@]}" "${base[@]}" "$@" >>"$tmp/$log" 2>&1 & launched=$!; }

cat >"$tmp/home/config" <<EOF
output HEADLESS-1 resolution 1024x768
xwayland force
exec sh -c 'echo "\$WAYLAND_DISPLAY \$DISPLAY \$SWAYSOCK" >$tmp/home/env.tmp && mv $tmp/home/env.tmp $tmp/home/env'
EOF
launch sway.log WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
  sway -c "$tmp/home/config"
sway=$launched
for _ in $(seq 100); do [ -s "$tmp/home/env" ] && break; sleep 0.1; done
[ -s "$tmp/home/env" ] || fail "sway did not start"
read -r wl x11 swaysock <"$tmp/home/env"
for _ in $(seq 100); do
  for p in $(ours); do
    tr '\0' ' ' <"/proc/$p/cmdline" 2>/dev/null | grep -q "^Xwayland $x11 " && xwayland=$p
  done
  [ -n "$xwayland" ] && as_user DISPLAY="$x11" xprop -root >/dev/null 2>&1 && break
  sleep 0.1
done
[ -n "$xwayland" ] || fail "no XWayland on $x11"
as_user DISPLAY="$x11" setxkbmap -layout us || fail "XWayland does not answer on $x11"
started=$SECONDS

# Windows of process $1, one line each: id, focused, shell, x, y, width, height.
window_system=sway
sway_windows() {
  as_user SWAYSOCK="$swaysock" swaymsg -t get_tree |
    jq -r --argjson p "$1" '.. | objects | select(.pid? == $p)
      | "\(.id) \(.focused) \(.shell) \(.rect.x) \(.rect.y) \(.rect.width) \(.rect.height)"'
}
sway_focused() { sway_windows "$1" | grep -q "^$2 true "; }
gone() {
  for _ in $(seq 50); do windows_of "$1" | grep -q "^$2 " || return 0; sleep 0.1; done
  fail "$3"
}
# The plug-ins process $1 loaded, as "wayland" or "xcb": Qt 6.10 and later
# ship one libqwayland.so where earlier ones had libqwayland-generic.so.
plugins() {
  grep -o 'libq\(wayland\(-[a-z]*\)\?\|xcb\)\.so' "/proc/$1/maps" |
    sed 's/^libqwayland.*/wayland/; s/^libqxcb.so$/xcb/' | sort -u | tr '\n' ' '
}
# Keys: wtype to native windows, xdotool to X ones.
x_keys() { keys_via=x11 as_keys=("${runas[@]}" "${base[@]}" DISPLAY="$x11"); }
native_keys() { keys_via=wtype as_keys=("${runas[@]}" "${base[@]}" WAYLAND_DISPLAY="$wl"); }

# The seat gains its keyboard with the first injected key, whose press is lost.
native_keys
key Shift_L

# Which plug-in: X11 wherever an X display is there, unless the user chose.
check_plugin() {
  local want=$1
  shift
  launch choice.log "$@"
  app=$launched
  new_window "$app" "" >/dev/null
  local got
  got=$(plugins "$app")
  [ "$got" = "$want " ] || fail "$* loaded '$got', not $want"
  echo "$want: $*" | sed "s|$tmp/||g"
  kill "$app"
  wait "$app" 2>/dev/null || true
  app=
}
check_plugin wayland WAYLAND_DISPLAY="$wl" QT_QPA_PLATFORM=wayland DISPLAY="$x11" "$program"
check_plugin wayland WAYLAND_DISPLAY="$wl" DISPLAY="$x11" "$program" -platform wayland
check_plugin wayland WAYLAND_DISPLAY="$wl" "$program"

# Through XWayland: the main window centred on the 1024x768 output.
launch x11.log WAYLAND_DISPLAY="$wl" DISPLAY="$x11" "$program"
app=$launched
main=$(new_window "$app" "")
[ "$(plugins "$app")" = "xcb " ] || fail "with both displays it loaded '$(plugins "$app")'"
echo "xcb: WAYLAND_DISPLAY and DISPLAY both set"
read -r _ _ shell x y w h < <(windows_of "$app" | grep "^$main ")
[ "$shell" = xwayland ] || fail "the main window is a $shell window"
dx=$((2 * x + w - 1024)) dy=$((2 * y + h - 768))
[ "${dx#-}" -le 2 ] && [ "${dy#-}" -le 2 ] ||
  fail "the main window is at $x,$y (${w}x$h), not centred"
echo "through XWayland the main window is centred: $x,$y (${w}x$h)"

# The walk by keyboard: name, Alt+O, Back, Exit, Enter on the farewell window.
# $1 names the way.
walk() {
  local way=$1
  has_focus "$app" "$main" "the main window ($way)"
  type_text ann
  key alt+o
  local result farewell
  result=$(new_window "$app" "$main")
  has_focus "$app" "$result" "the result window ($way)"
  key alt+b
  gone "$app" "$result" "Back left the result window open ($way)"
  # Shown again, the main window is a new one to the compositor.
  main=$(new_window "$app" "")
  has_focus "$app" "$main" "the main window after Back ($way)"
  key Escape
  farewell=$(new_window "$app" "$main")
  has_focus "$app" "$farewell" "the farewell window ($way)"
  key Return
  ended "$app" 100 "the program ($way)"
  app=
  echo "$way: the walk ended with exit code 0, the farewell window holding the focus"
}
x_keys
walk "through XWayland"

# Natively: a second copy, twenty times, ends within 5 s of its box's answer.
native_keys
launch native.log WAYLAND_DISPLAY="$wl" "$program"
app=$launched
main=$(new_window "$app" "")
for i in $(seq 20); do
  launch second.log WAYLAND_DISPLAY="$wl" "$program"
  second=$launched
  box=$(new_window "$second" "")
  has_focus "$second" "$box" "the box 'Application is already running' ($i)"
  key Return
  gone "$second" "$box" "the second copy's box did not close ($i)"
  ended "$second" 50 "the second copy ($i of 20)"
  second=
done
echo "natively a second copy ended with exit code 0 after its box, 20 times of 20"
walk natively
echo "done in $((SECONDS - started)) s"
