#!/usr/bin/env bash
# Takes the README's screenshot: the editor's window on the demo game,
# painted on Qt's offscreen platform, saved as screenshot.png.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh build
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DTV_BUILD_TESTS=OFF >/dev/null
cmake --build build/release --target editor-screenshot portrait-tool
game=build/screenshot-game
rm -rf "$game"
build/release/tools/portrait-tool make-demo "$game" >/dev/null
# Portrait 2 with its MEDIUM frame 2 selected shows an animation's frames.
QT_QPA_PLATFORM=offscreen build/release/editor-screenshot "$game" screenshot.png 2 4
rm -rf "$game"
echo "Wrote screenshot.png"
