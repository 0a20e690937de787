// Header checks on TGA files, made before a file is read into a frame.
#pragma once

#include <cstdint>
#include <string>

#include "TgaHeader.h"

// The file's 18-byte header; false when the file cannot be opened (missing,
// or no regular file) or is shorter than a header. opened tells the two apart.
bool ReadTgaHeader(const std::string& path, TgaHeader& header, bool& opened);

// 1 when the file's header gives exactly this width and height; 0 otherwise
// and when the file cannot be opened.
int32_t TgaHasSize(const std::string& path, int32_t width, int32_t height);

// 1 when the header's pixel depth equals depth; 0 otherwise and when the file
// cannot be opened.
int32_t TgaHasDepth(const std::string& path, int32_t depth);
