// Shared pieces of the tests that run portrait-tool as a modder runs it.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "GameDir.h"
#include "GfxBytes.h"
#include "ProgramRun.h"
#include "TestGame.h"

using ToolRun = ProgramRun;

// Runs the tool with the arguments (already quoted for the shell), after the
// given environment settings; a run that would hang is ended after a minute.
ToolRun Tool(const std::string& args, const std::string& environment = "");
// The same, started in the background: the shell command line that runs it
// and leaves its exit status in statusFile.
std::string ToolInBackground(const std::string& args, const std::string& statusFile);

// "--base '<the game's folder>'".
std::string Base(const GameDir& game);

size_t CountLines(const std::string& s);

// A colour-mapped TGA of the test palette, every pixel `index`, written
// below the game's folder; its path.
std::string WriteTga(const GameDir& game, const std::string& name, int width, int height, uint8_t index);

// Every file below a folder with its bytes, and every folder.
std::map<std::string, std::vector<uint8_t>> Snapshot(const std::string& root);

// An override file for a portrait's size, of a palette image of the frames.
void PutOverride(const GameDir& game, const TestPortrait& p, const char* size, const std::vector<TestFrame>& frames);
