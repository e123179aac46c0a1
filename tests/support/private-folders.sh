#!/usr/bin/env bash
# Runs a command in mount and network namespaces of its own, with an empty
# tmpfs (of the same mode) over each folder named that exists. For the
# whole-program tests: the program's one lock per user lives in /tmp,
# /run/user or ~/.cache, and an X server's abstract socket is per network
# namespace, so neither the user's own running copy nor a second test run is
# ever met. A kept path below such a folder stays where it was (the build, a
# test's work folder). "~/" is the home the user database gives, as the
# program reads it. Not run as root, a user namespace lends the right to
# mount, and the command runs as the same user again.
# Usage: private-folders.sh [--keep PATH]... FOLDER... -- COMMAND [ARG]...
set -euo pipefail
if [ -z "${XELT_PRIVATE_AS:-}" ]; then
  if [ "$(id -u)" = 0 ]; then
    XELT_PRIVATE_AS=root exec unshare -m -n --propagation private "$0" "$@"
  fi
  XELT_PRIVATE_AS="$(id -u) $(id -g)" exec unshare -U -r -m -n --propagation private "$0" "$@"
fi
as=$XELT_PRIVATE_AS
unset XELT_PRIVATE_AS
uid=$([ "$as" = root ] && echo 0 || echo "${as% *}")
keep=() folders=()
while [ "$1" != -- ]; do
  case $1 in
    --keep) keep+=("$(realpath -m -- "$2")"); shift 2 ;;
    '~/'*) folders+=("$(getent passwd "$uid" | cut -d: -f6)/${1#\~/}"); shift ;;
    *) folders+=("$1"); shift ;;
  esac
done
shift
for folder in "${folders[@]}"; do
  [ -d "$folder" ] && [ ! -L "$folder" ] || continue
  # The folder as it was, still reachable through this descriptor once covered.
  exec 3<"$folder"
  mount -t tmpfs -o "mode=$(stat -c %a "$folder")" private "$folder"
  for path in "${keep[@]}"; do
    case $path in
      "$folder"/*)
        mkdir -p "$path"
        mount --no-canonicalize --bind "/proc/self/fd/3/${path#"$folder"/}" "$path" ;;
    esac
  done
  exec 3<&-
done
[ "$as" = root ] && exec "$@"
exec unshare -U --map-user="${as% *}" --map-group="${as#* }" -- "$@"
