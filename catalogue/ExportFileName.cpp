#include "ExportFileName.h"

std::string ExportFileName(const std::string& portraitName, PortraitSize size, int32_t frame, ExportScope scope,
                           ExportFormat format)
{
    if (size < kSizeLarge || size >= kSizeCount)
        return {};
    const std::string suffix = std::string("_") + kSizeNames[size] + (format == ExportFormat::kPng ? ".PNG" : ".TGA");
    if (size == kSizeMedium)
        return portraitName + std::to_string(frame) + suffix;
    if (size == kSizeSmall && scope == ExportScope::kAllFrames)
        return "S" + portraitName + suffix;
    return portraitName + suffix;
}
