// A demo game base directory, so that the editor can be tried and tested
// without the game's own data: a game archive full of procedurally drawn
// portraits of all twelve races, plus a few entries the editor must ignore.
#pragma once

#include <string>

// Writes a demo game base directory: DATA/DATA.QPK and an empty PATCHES folder.
// Returns true on success; on failure false with a one-line reason in error.
// An existing DATA/DATA.QPK below dir is never overwritten: the call then
// fails, so that a real game cannot be destroyed by mistake. The archive is
// the same byte for byte on every run, whatever dir is.
bool MakeDemoGame(const std::string& dir, std::string& error);
