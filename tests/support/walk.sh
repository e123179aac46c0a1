# Sourced by the walks in real windows: keys, windows, focus and processes.
# The walk defines fail MESSAGE. $window_system says how windows are seen:
# x11 (the default), sway (its tree: the walk defines sway_windows), or
# wayland (the program's own protocol log, where the compositor shows no one
# its windows). $keys_via says where keys go: x11 (xdotool, the default),
# wtype (a wlroots seat) or mutter (its remote desktop: start_mutter_keys).
# A walk that runs its tools as another user puts that in the array as_keys.
window_system=${window_system:-x11} keys_via=${keys_via:-x11} key_delay=60
as_keys=()

# A runtime folder for the walk's sockets (a compositor's, the accessibility
# bus's, speech's), made under /tmp so that a socket's path keeps within the
# 108 bytes it may have wherever the checkout is; the walk removes it at its end.
private_runtime() {
  XDG_RUNTIME_DIR=$(mktemp -d /tmp/xelt-runtime-XXXXXX) || exit 1
  export XDG_RUNTIME_DIR
}

# Presses each of KEYS (xdotool's names, "alt+o" a chord) as a quick user
# does, $key_delay ms apart.
key() {
  local k
  case $keys_via in
    x11) timeout 10 "${as_keys[@]}" xdotool key --delay "$key_delay" "$@" ;;
    # Each wtype is a new keyboard, whose keymap the window takes first.
    wtype)
      for k in "$@"; do
        case $k in
          alt+*) "${as_keys[@]}" wtype -s 300 -M alt "${k#alt+}" -m alt ;;
          *) "${as_keys[@]}" wtype -s 300 -k "$k" ;;
        esac
      done ;;
    mutter) printf '%s\n' "$@" >&"$mutter_keys" ;;
  esac || fail "the keys $* did not go"
}
type_text() {
  case $keys_via in
    x11) timeout 20 "${as_keys[@]}" xdotool type --delay "$key_delay" "$1" ;;
    wtype) "${as_keys[@]}" wtype -s 300 -d 60 "$1" ;;
    mutter) printf '%s\n' $(echo "$1" | grep -o .) >&"$mutter_keys" ;;
  esac || fail "typing '$1' did not go"
}
# Keys through mutter's remote desktop session, held by one client for as
# long as the walk runs (the session ends with its D-Bus client). The seat
# gains its keyboard with the first key, whose press is lost: a Shift first.
# Keys are held as a hand holds them: released at once, a date list or menu
# that a key opens under mutter 48 was often gone before it could be seen.
start_mutter_keys() {
  exec {mutter_keys}> >(exec /usr/bin/python3 -u -c '
import ctypes, itertools, sys, time
from gi.repository import Gio, GLib
xkb = ctypes.CDLL("libxkbcommon.so.0")
bus = Gio.bus_get_sync(Gio.BusType.SESSION)
def call(path, method, args=None, iface=".Session"):
    return bus.call_sync("org.gnome.Mutter.RemoteDesktop", path, "org.gnome.Mutter.RemoteDesktop" + iface,
                         method, args, None, 0, -1, None)
path = call("/org/gnome/Mutter/RemoteDesktop", "CreateSession", iface="").unpack()[0]
call(path, "Start")
mods = {"alt": "Alt_L", "ctrl": "Control_L", "shift": "Shift_L"}
def sym(p):
    return xkb.xkb_utf32_to_keysym(ord(p)) if len(p) == 1 else xkb.xkb_keysym_from_name(mods.get(p, p).encode(), 0)
for name in itertools.chain(["shift"], (line.strip() for line in sys.stdin)):
    syms = [sym(p) for p in (name.split("+") if len(name) > 1 else [name])]
    for s in syms:
        call(path, "NotifyKeyboardKeysym", GLib.Variant("(ub)", (s, True)))
    time.sleep(0.04)
    for s in reversed(syms):
        call(path, "NotifyKeyboardKeysym", GLib.Variant("(ub)", (s, False)))
    time.sleep(0.06)
' 2>>"$1")
}

# Process $1's windows, one a line, the id first. Popups (a menu, an open
# list) count only where $with_popups is set: a menu is gone the moment its
# item is picked, and a walk must not take it for the window that item opens.
windows_of() { "${window_system}_windows" "$1"; }
x11_windows() {
  local w info
  for w in $(xdotool search --onlyvisible --pid "$1" 2>/dev/null | sort); do
    info=$(xwininfo -id "$w" 2>/dev/null) || continue # gone meanwhile
    [ -n "${with_popups:-}" ] || ! grep -q 'Override Redirect State: yes' <<<"$info" && echo "$w"
  done
  return 0
}
# Whether process $1's window $2 holds the keyboard focus, as each window
# system tells (the X server needs no process).
x11_focused() { [ "$(xdotool getwindowfocus 2>/dev/null)" = "$2" ]; }
wayland_focused() { wayland_windows "$1" | grep -q "^$2 focused"; }
# The program, started by start_program on Wayland, logs its protocol: its
# surfaces given a role and not yet destroyed are its windows (a list's popup
# among them), each named by the log line that made it, as surface ids come
# again; the last keyboard enter says which has the focus. (libwayland 1.23
# and later write "#" where earlier ones wrote "@".)
wayland_windows() {
  awk 'function id(re) { match($0, re); return substr($0, RSTART, RLENGTH) }
       /-> xdg_wm_base[@#][0-9]+\.get_xdg_surface/ { x = id("xdg_surface[@#][0-9]+"); s = id("wl_surface[@#][0-9]+"); surface[x] = s }
       /-> xdg_surface[@#][0-9]+\.get_(toplevel|popup)/ { x = id("xdg_surface[@#][0-9]+"); r = id("new id xdg_[a-z]+[@#][0-9]+")
         if (r ~ /popup/ && !popups) next
         window[substr(r, 8)] = "w" NR; live["w" NR] = surface[x] }
       /-> xdg_toplevel[@#][0-9]+\.set_title\("/ { t = $0; sub(/.*set_title\("/, "", t); sub(/"\)$/, "", t); title[window[id("xdg_toplevel[@#][0-9]+")]] = t }
       /-> xdg_(toplevel|popup)[@#][0-9]+\.destroy\(\)/ { delete live[window[id("xdg_(toplevel|popup)[@#][0-9]+")]] }
       /wl_keyboard[@#][0-9]+\.enter\(/ { focus = id("wl_surface[@#][0-9]+") }
       /wl_keyboard[@#][0-9]+\.leave\(/ { focus = "" }
       END { for (w in live) print w, (live[w] == focus ? "focused" : "-"), title[w] }' \
    popups="${with_popups:-}" "$work/wayland-$1.log" | sort
}
# The title process $1 gave its window $2.
window_title() {
  case $window_system in
    x11) xdotool getwindowname "$2" ;;
    wayland) wayland_windows "$1" | sed -n "s/^$2 [^ ]* //p" ;;
  esac
}
# Starts the program ($program) in the background on $window_system; its
# process id is then in $launched.
start_program() {
  case $window_system in
    wayland) QT_QPA_PLATFORM=wayland WAYLAND_DEBUG=client \
      sh -c 'exec 2>"$0/wayland-$$.log"; exec "$1"' "$work" "$program" & ;;
    *) QT_QPA_PLATFORM=xcb "$program" & ;;
  esac
  launched=$!
}
# The ids of process $1's windows.
window_ids() { windows_of "$1" | awk '{ print $1 }'; }
# Waits until process $1 has exactly one window not in $2 (ids) and prints its id.
new_window() {
  local w
  for _ in $(seq 100); do
    w=$(window_ids "$1" | awk -v known=" $(echo $2) " 'index(known, " " $1 " ") == 0')
    [ "$(echo "$w" | sed '/^$/d' | wc -l)" = 1 ] && { echo "$w"; return; }
    sleep 0.1
  done
  fail "no new window of process $1 after: $(windows_of "$1" | tr '\n' ';')"
}
# Waits until process $1's windows are exactly $2 (ids); else fails with $3.
windows_become() {
  for _ in $(seq 50); do [ "$(window_ids "$1" | sort | xargs)" = "$(echo $2 | xargs -n1 | sort | xargs)" ] && return; sleep 0.1; done
  fail "$3"
}
# Waits until process $1's window $2 holds the keyboard focus; $3 names it.
has_focus() {
  for _ in $(seq 50); do
    "${window_system}_focused" "$1" "$2" && { echo "focus: $3"; return; }
    sleep 0.1
  done
  local f=
  [ "$window_system" != x11 ] || f=$(xdotool getwindowfocus 2>/dev/null || true)
  fail "$3 does not hold the keyboard focus: $(windows_of "$1" | tr '\n' ';') ${f:+$(xdotool getwindowname "$f" 2>/dev/null) ($f) has it}"
}
# X11 window $1's frame as the window manager draws it: x y width height.
x11_frame() {
  local x y w h l r t b extents
  read -r x y w h < <(xwininfo -id "$1" | awk -F: '/Absolute upper-left X/ { x = $2 } /Absolute upper-left Y/ { y = $2 }
    /^ *Width/ { w = $2 } /^ *Height/ { h = $2 } END { print x, y, w, h }')
  extents=$(xprop -id "$1" -notype _NET_FRAME_EXTENTS | sed -n 's/.*= //p' | tr -d ,)
  read -r l r t b <<<"${extents:-0 0 0 0}"
  echo $((x - l)) $((y - t)) $((w + l + r)) $((h + t + b))
}
# Waits at most $2 tenths of a second for process $1 to end with exit code $4
# (0 unless given); $3 names it.
ended() {
  for _ in $(seq "$2"); do kill -0 "$1" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$1" 2>/dev/null && fail "$3 did not end within $(($2 / 10)) s"
  local status=0
  wait "$1" || status=$?
  [ "$status" = "${4:-0}" ] || fail "$3 ended with exit code $status, not ${4:-0}"
}
# The day the update question is due again if it was last asked on it: the
# build's interval (passed in by CTest) before today.
question_due() {
  date -d "${XELT_DAYS_BETWEEN_UPDATE_QUESTIONS:?the test sets it from the build} days ago" +%F
}
