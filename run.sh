#!/usr/bin/env bash
# Installs what is missing, builds a release and starts the editor.
# Usage: ./run.sh [GAME_DIRECTORY]
set -euo pipefail
cd "$(dirname "$0")"
root=$PWD

tools/install-deps.sh build
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DTV_BUILD_TESTS=OFF >/dev/null
cmake --build build/release

if [ ! -x build/release/app/portrait-editor ]; then
  echo "Built the libraries in build/release. The editor's window is not part of this build yet;"
  echo "run ./test.sh to build and test everything that exists."
  exit 0
fi

game=${1:-}
if [ -z "$game" ]; then
  game=$root/build/demo-game
  [ -d "$game" ] || build/release/tools/portrait-tool make-demo "$game"
fi
cd "$game"
exec "$root/build/release/app/portrait-editor"
