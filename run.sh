#!/usr/bin/env bash
# Installs what is missing, builds a release and starts the editor on a game
# directory: the one given, or a demo game made under build/ when none is.
# Usage: ./run.sh [GAME_DIRECTORY]
set -euo pipefail
cd "$(dirname "$0")"
root=$PWD

tools/install-deps.sh build
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DTV_BUILD_TESTS=OFF >/dev/null
cmake --build build/release

game=${1:-}
if [ -z "$game" ]; then
  game=$root/build/demo-game
  if [ ! -f "$game/DATA/DATA.QPK" ]; then
    build/release/tools/portrait-tool make-demo "$game"
  fi
fi
if [ ! -d "$game" ]; then
  echo "run.sh: $game is not a directory" >&2
  exit 1
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  cat >&2 <<MSG
run.sh: the editor is built, but there is no display to show its window on.
Run it under a virtual display, for example:
    apt-get install xvfb && xvfb-run ./run.sh $*
or from a desktop session. The command-line tool works without a display:
    build/release/tools/portrait-tool --base "$game" list
MSG
  exit 1
fi

echo "Starting the editor on $game"
exec "$root/build/release/portrait-editor" -- "$game"
