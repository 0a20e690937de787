// The names of the files a portrait's frames are exported to, in the
// Portraits folder: TVARM1_LARGE.TGA, TVARM10_MEDIUM.TGA for MEDIUM frame 0,
// and for SMALL STVARM1_SMALL.TGA from Export All but TVARM1_SMALL.TGA from
// Export of the one frame; in PNG the same with ".PNG".
#pragma once

#include <cstdint>
#include <string>

#include "PortraitTypes.h"

enum class ExportScope { kOneFrame, kAllFrames };
enum class ExportFormat { kTga, kPng };

// The file name for a frame of one of the portrait's images; the frame's
// number is part of the name for MEDIUM only. Empty for a size that is none.
std::string ExportFileName(const std::string& portraitName, PortraitSize size, int32_t frame, ExportScope scope,
                           ExportFormat format = ExportFormat::kTga);
