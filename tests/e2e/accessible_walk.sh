#!/usr/bin/env bash
# The accessible walk on an X server and a session bus of its own, where the accessibility
# bus starts when Prizmo or the walk first asks for it.
#   accessible_walk.sh PRIZMO SCRATCH_FOLDER
set -euo pipefail
walk=$(dirname "$0")/accessible_walk.py
rm -rf "$2"
mkdir -p "$2"
export WALK_HOME=$2 LC_ALL=C.UTF-8 QT_QPA_PLATFORM=xcb
exec xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" dbus-run-session -- /usr/bin/python3 "$walk" "$1"   # Debian's, which has pyatspi
