#!/usr/bin/env bash
# What a blind user hears: Orca itself (speech-dispatcher's dummy module, its
# debug log holding every "SPEECH OUTPUT") on a private X server with openbox,
# its own session bus and AT-SPI bus, the program walked by keyboard alone.
# After each row's keys every word of the row must be heard, and no word
# marked with "!" may be. Exits 77 (skipped) where another Orca of this user
# runs, as Orca refuses to start beside one.
# Usage: orca-walk.sh <program> <work folder>
set -euo pipefail

if [ "${1:-}" = --on-bus ]; then
  shift
  program=$1 work=$2
  app= orca= speechd= launcher= wm=
  cleanup() {
    # Orca shuts down slowly on TERM, if at all: KILL it.
    [ -z "$orca" ] || kill -KILL "$orca" 2>/dev/null || true
    for p in $app $speechd $wm $launcher; do kill "$p" 2>/dev/null || true; done
    wait 2>/dev/null || true
  }
  trap cleanup EXIT
  fail() { echo "FAIL: $*" >&2; exit 1; }
  # The keys of a row as a quick user presses them.
  source "$(dirname "$0")/../support/walk.sh"
  key_delay=100

  /usr/libexec/at-spi-bus-launcher --launch-immediately >"$work/atspi.log" 2>&1 &
  launcher=$!
  openbox --sm-disable >"$work/wm.log" 2>&1 &
  wm=$!
  # Speech goes nowhere: the dummy module is the only one, its sound goes to
  # libao's null device.
  mkdir -p "$work/speechd" "$XDG_RUNTIME_DIR/speech-dispatcher"
  printf 'AddModule "dummy" "sd_dummy" ""\nDefaultModule dummy\nAudioOutputMethod "libao"\n' \
    >"$work/speechd/speechd.conf"
  echo default_driver=null >"$HOME/.libao"
  speech-dispatcher --run-single --config-dir "$work/speechd" --timeout 0 \
    --communication-method unix_socket \
    --socket-path "$XDG_RUNTIME_DIR/speech-dispatcher/speechd.sock" \
    --log-dir "$work/speechd" >"$work/speechd.log" 2>&1 &
  speechd=$!
  log=$work/orca.log
  # Orca itself, with its log written out line by line (it would hold back
  # what it says for kilobytes otherwise). The function that writes the log
  # has had three names: println (Orca 43), print_message and _print_text
  # (48 and later, the first calling the second).
  /usr/bin/python3 -c '
import runpy, sys
import orca.debug as debug
def flushing(write):
    def flushed(*args, **kwargs):
        write(*args, **kwargs)
        if debug.debugFile:
            debug.debugFile.flush()
    return flushed
hooked = [n for n in ("println", "_print_text") if callable(getattr(debug, n, None))]
if not hooked:
    sys.exit("orca-walk: no known logging function in " + debug.__file__)
for name in hooked:
    setattr(debug, name, flushing(getattr(debug, name)))
sys.argv = ["orca"] + sys.argv[1:]
runpy.run_path("/usr/bin/orca", run_name="__main__")
' --user-prefs "$work/orca-prefs" --debug-file "$log" >"$work/orca.out" 2>&1 &
  orca=$!
  for _ in $(seq 200); do grep -q "SPEECH OUTPUT: 'Screen reader on" "$log" 2>/dev/null && break; sleep 0.1; done
  grep -q "SPEECH OUTPUT: 'Screen reader on" "$log" || fail "Orca did not start: $(tail -5 "$work/orca.out")"

  QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$program" &
  app=$!
  # What Orca has spoken since its $1-th utterance, one utterance a line.
  spoken() {
    awk '/SPEECH OUTPUT: \047/ { if (u != "") print u; u = $0; done = u ~ /\047 ?[[{].*[]}]$/; next }
         u != "" && !done { u = u " " $0; done = u ~ /\047 ?[[{].*[]}]$/; next }
         u != "" { print u; u = "" }
         END { if (u != "") print u }' "$log" | sed -n "$(($1 + 1)),\$p" |
      sed -e "s/.*SPEECH OUTPUT: '//" -e "s/' \?[[{].*//"
  }
  count() { grep -ac "SPEECH OUTPUT: '" "$log" || true; }
  # Words, not punctuation: Orca versions differ in the commas and full stops
  # they put between a control's name, role and value. Punctuation goes
  # without a space, so two sentences run together still show. A push button
  # is a "button" from Orca 48 on.
  words() {
    printf '%s' "$*" | tr -d '[:punct:]' | tr -s '[:space:]' ' ' | sed 's/\bpush button\b/button/g'
  }

  # A word for some Orca versions only: "48+:word" from 48 on, "-47:word" up to 47.
  orca_major=$(/usr/bin/python3 -c 'import orca.orca_platform as p; print(p.version.split(".")[0])')
  for_this_orca() {
    local w kept=
    for w in "$@"; do
      case $w in
        [0-9]*+:*) [ "$orca_major" -ge "${w%%+:*}" ] && kept+=" ${w#*:}" ;;
        -[0-9]*:*) w=${w#-} && [ "$orca_major" -le "${w%%:*}" ] && kept+=" ${w#*:}" ;;
        *) kept+=" $w" ;;
      esac
    done
    echo "$kept"
  }

  # One row: keys (xdotool names, "-" for none; "@S" last: S seconds between
  # them, each pressed alone), then the words to be heard.
  row=0
  while IFS='|' read -r keys words; do
    # Comments may hold quotes, which xargs would not take.
    [ "${keys:0:1}" = "#" ] && continue
    keys=$(echo "$keys" | xargs) words=$(for_this_orca $(echo "$words" | xargs))
    [ -z "$keys" ] && continue
    row=$((row + 1))
    before=$(count)
    pace=
    case $keys in *" @"*) pace=${keys##* @} keys=${keys% @*} ;; esac
    if [ -z "$pace" ]; then
      [ "$keys" = - ] || key $keys
    else
      set -- $keys
      key "$1" && shift
      for k in "$@"; do sleep "$pace" && key "$k"; done
    fi
    kill -0 $app 2>/dev/null || fail "row $row ($keys): the program has ended"
    # Heard: what Orca speaks until every word has come (15 s at most: Orca is
    # slow on a busy machine) and it then has said nothing for a second.
    heard= quiet=0 waited=0
    while [ $waited -lt 150 ] && [ $quiet -lt 10 ]; do
      sleep 0.1
      waited=$((waited + 1))
      now=$(words "$(spoken "$before" | tr '\n' ' ')")
      if [ "$now" != "$heard" ]; then heard=$now quiet=0; continue; fi
      all=1
      for w in $words; do
        [ "${w:0:1}" = "!" ] && continue
        case $heard in *"$(words "${w//_/ }")"*) ;; *) all=0 ;; esac
      done
      [ $all = 1 ] && quiet=$((quiet + 1))
    done
    verdict=ok
    for w in $words; do
      if [ "${w:0:1}" = "!" ]; then
        case $heard in *"$(words "${w//_/ }")"*) verdict="heard \"${w:1}\"" ;; esac
      else
        case $heard in *"$(words "${w//_/ }")"*) ;; *) verdict="missed \"$w\"" ;; esac
      fi
      if [ "${w:0:1}" = "=" ]; then
        case " ${heard% }" in *" $(words "${w//_/ }")") ;; *) verdict="did not end on \"${w:1}\"" ;; esac
      fi
    done
    printf '%-22s| %s\n' "$keys${pace:+ @$pace}" "$heard"
    # Each row starts where the one before left off: the first miss ends the walk.
    [ "$verdict" = ok ] || fail "row $row ($keys): $verdict (log: $log)"
  done <"$work/table"
  exit 0
fi

program=$1 work=$2
rm -rf "$work" && mkdir -p "$work/config" "$work/home" "$work/data"
if pgrep -u "$(id -u)" -x orca >/dev/null; then
  echo "SKIP: another Orca runs for this user, and Orca will not start beside it"
  exit 77
fi

# Keys, then the words that must be heard ("_" stands for a space inside a
# word group, "!" marks a word that must not be heard, "=" one that must be
# heard last).
cat >"$work/table" <<'EOF'
# The update question, read with its two sentences apart.
-                    | available Do_you_want !availableDo
# Orca 48 names the field's role here only when it has echoed the key before
# the window came: a race of its own. atspi_smoke finds the field by that role.
n                    | Name -47:text
# Typing echoes; at the end of the text the reader asks for the word there.
shift+a shift+n shift+n | A N
ctrl+Left            | ANN
ctrl+Right           | ANN
# Keys 0.8 s, 0.3 s, 2 s and 0.1 s apart: what is heard last ("=") is the
# value the list has landed on.
Tab Down Down @0.8   | Date_combo_box._1. =3
Down Down Down @0.3  | =6
Down Up @2           | 7 =6
Down Down Down Down  | =10
Up Up Up Up Up Up Up | =3
# Orca 48 and later read the popup list of any Qt list by its picked entry.
alt+Down             | -47:Date -47:List_with_31_items 48+:3
Return               | Date 3
Tab Down Down @0.8   | Month_combo_box._January. =March
Down Down Down @0.3  | =June
Down Up @2           | July =June
End                  | =December
Up Up Up             | =September
Down Down Down       | =December
Tab Down Down @0.8   | Year_combo_box._1946. =1948
Down Down Down @0.3  | =1951
Down Up @2           | 1952 =1951
Up Up Up Up Up       | =1946
Tab                  | Find
alt+o                | Placed_in_Libra You_are_quiet_and_reserved Exit
# Flat review, one line up from Exit: the interpretation's last line alone.
KP_Home              | more_creative !You_are_quiet
Escape               | Exit_push_button
Tab                  | Click_Here_To_Visit push_button !check_box
Tab                  | Your_Name_text
EOF

source "$(dirname "$0")/../../scripts/xvfb.sh"
xvfb=
source "$(dirname "$0")/../support/walk.sh"
private_runtime
trap '[ -n "$xvfb" ] && kill $xvfb 2>/dev/null; rm -rf "$XDG_RUNTIME_DIR"' EXIT
start_xvfb "$work/xvfb.log" 1280x1024x24
export XDG_CONFIG_HOME=$work/config HOME=$work/home \
  XDG_DATA_HOME=$work/data GSETTINGS_BACKEND=memory LC_ALL=C.UTF-8
# Last asked as long ago as the interval: the update question comes first.
printf '[Settings]\nDuration=%s\n' "$(question_due)" \
  >"$XDG_CONFIG_HOME/xelt-ombrel-astrology.conf"
started=$SECONDS
dbus-run-session -- "$0" --on-bus "$program" "$work"
echo "orca walk: every row heard in $((SECONDS - started)) s"
