// What a dialog asks of the open-file dialog.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

constexpr uint32_t OFN_READONLY = 0x00000001;
constexpr uint32_t OFN_PATHMUSTEXIST = 0x00000800;
constexpr uint32_t OFN_FILEMUSTEXIST = 0x00001000;
constexpr uint32_t OFN_ALLOWMULTISELECT = 0x00000200; // GetOpenFileNames: several files may be chosen

struct FileFilter {
    std::string description; // "TGA-Files (*.tga)"
    std::string pattern;     // "*.tga"
};

struct OpenFileRequest {
    std::vector<FileFilter> filters;
    int32_t filterIndex = 1;   // 1-based: the filter preselected
    std::string initialDir;    // a folder, or a file whose folder is opened with it selected
    uint32_t flags = 0;
    size_t bufferSize = 260;   // the longest path the caller can take, with its terminator
};
