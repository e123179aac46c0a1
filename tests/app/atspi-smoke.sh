#!/usr/bin/env bash
# Runs the program under a private X server and D-Bus session with the
# accessibility bus up, then reads it the way a screen reader does.
# Usage: atspi-smoke.sh <program> <python script> <work folder>
set -euo pipefail
program=$1 script=$2 work=$3
rm -rf "$work" && mkdir -p "$work/config"

source "$(dirname "$0")/../../scripts/xvfb.sh"
source "$(dirname "$0")/../support/walk.sh"
xvfb=
private_runtime
trap '[ -n "$xvfb" ] && kill $xvfb 2>/dev/null; rm -rf "$XDG_RUNTIME_DIR"' EXIT
start_xvfb "$work/xvfb.log"

export XDG_CONFIG_HOME=$work/config
dbus-run-session -- bash -c '
  set -euo pipefail
  /usr/libexec/at-spi-bus-launcher --launch-immediately &
  launcher=$!
  QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$1" &
  app=$!
  status=0
  /usr/bin/python3 "$2" "$app" Sagittarius || status=$?
  kill $app $launcher 2>/dev/null || true
  wait 2>/dev/null || true
  exit $status
' smoke "$program" "$script"
