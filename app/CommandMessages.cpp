#include "CommandMessages.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "GameArchive.h"
#include "PortraitImage.h"
#include "Resources.h"

// Why an import was refused, as the line under string 5.
std::string ReplaceFailureText(const ReplaceFailure& why)
{
    using Kind = ReplaceFailure::Kind;
    switch (why.kind) {
    case Kind::kCannotOpen: return LoadResourceString(IDS_REASON_CANNOT_OPEN);
    case Kind::kNotTga: return LoadResourceString(IDS_REASON_NOT_TGA);
    case Kind::kWrongSize:
        return FormatResourceString(IDS_REASON_WRONG_SIZE,
                                    {std::to_string(why.fileWidth), std::to_string(why.fileHeight),
                                     std::to_string(why.frameWidth), std::to_string(why.frameHeight)});
    case Kind::kNeedsColourMapped: return LoadResourceString(IDS_REASON_NEEDS_COLOUR_MAPPED);
    case Kind::kNeedsTrueColour: return LoadResourceString(IDS_REASON_NEEDS_TRUE_COLOUR);
    case Kind::kCutShort: return LoadResourceString(IDS_REASON_CUT_SHORT);
    case Kind::kIndexOutsideMap: return LoadResourceString(IDS_REASON_INDEX_OUTSIDE_MAP);
    case Kind::kUnsupported: return LoadResourceString(IDS_REASON_UNSUPPORTED);
    case Kind::kTooLarge: return LoadResourceString(IDS_REASON_TOO_LARGE);
    case Kind::kNeedsIndices: return LoadResourceString(IDS_REASON_NEEDS_INDICES);
    case Kind::kBrokenPng: return LoadResourceString(IDS_REASON_BROKEN_PNG);
    case Kind::kNeedsPalette: return LoadResourceString(IDS_REASON_NEEDS_PALETTE);
    case Kind::kNone: break;
    }
    return {};
}

ImportRefusal RefusalOf(const ReplaceFailure& why)
{
    using Kind = ReplaceFailure::Kind;
    using FileKind = ReplaceFailure::FileKind;
    const std::string reason = ReplaceFailureText(why);
    const bool sizeOrDepth = why.kind == Kind::kWrongSize || why.kind == Kind::kNeedsColourMapped ||
                             why.kind == Kind::kNeedsTrueColour || why.kind == Kind::kNeedsIndices ||
                             why.kind == Kind::kNeedsPalette;
    ImportRefusal refusal;
    if (why.fileKind == FileKind::kTga && sizeOrDepth) {
        refusal.stringId = IDS_TGA_NOT_LOADED;
        refusal.caption = "Info";
    } else {
        refusal.stringId = why.fileKind == FileKind::kTga   ? IDS_TGA_FILE_NOT_IMPORTED
                           : why.fileKind == FileKind::kPng ? IDS_PNG_FILE_NOT_IMPORTED
                                                            : IDS_FILE_NOT_IMPORTED;
        refusal.caption = "Error";
    }
    refusal.text = LoadResourceString(refusal.stringId) + (reason.empty() ? "" : "\n" + reason);
    return refusal;
}

std::string PackFailureText(int32_t result, const std::string& failedSource, int error)
{
    if (result == CGameArchive::kWriteSourceUnreadable)
        return FormatResourceString(IDS_PACK_REASON_SOURCE_UNREADABLE, {failedSource});
    std::string why = LoadResourceString(
        result == CGameArchive::kWriteCannotCreate ? IDS_PACK_REASON_NO_FOLDER : IDS_PACK_REASON_WRITE_FAILED);
    // The system's words go inside the sentence, before its full stop.
    if (error && !why.empty() && why.back() == '.')
        why.insert(why.size() - 1, std::string(" (") + std::strerror(error) + ")");
    return why;
}

std::string SaveFailureText(int32_t result, int error)
{
    if (result == CPortraitImage::kSaveReplacedMeanwhile)
        return LoadResourceString(IDS_REASON_REPLACED_MEANWHILE);
    if (result == CPortraitImage::kSaveFolderBusy)
        return LoadResourceString(IDS_REASON_FOLDER_BUSY);
    const std::string system = error ? std::strerror(error) : "it could not be written in full";
    if (result == CPortraitImage::kSaveCannotSetAside)
        return FormatResourceString(IDS_REASON_CANNOT_SET_ASIDE, {system});
    return system;
}

std::string NotWrittenText(const std::string& path, int error)
{
    return path + " (" + std::strerror(error ? error : EIO) + ")";
}

OpenFileRequest ImportFileRequest(const std::string& initialDir, size_t bufferSize)
{
    OpenFileRequest request;
    request.filters = {{"Images (*.tga *.TGA *.png *.PNG)", "*.tga;*.TGA;*.png;*.PNG"},
                       {"TGA-Files (*.tga *.TGA)", "*.tga;*.TGA"},
                       {"PNG-Files (*.png *.PNG)", "*.png;*.PNG"},
                       {"All Files (*)", "*"}};
    request.filterIndex = 1;
    request.initialDir = initialDir;
    request.flags = OFN_READONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
    request.bufferSize = bufferSize;
    return request;
}

std::string DistanceText(double distance)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", distance);
    return text;
}

std::string ImportNoticeText(const ImportReport& report)
{
    if (report.colourLoss.farPixels > 0)
        return FormatResourceString(IDS_COLOUR_LOSS_NOTICE, {std::to_string(report.colourLoss.farPixels),
                                                             DistanceText(report.colourLoss.largestDistance)});
    if (report.takeover.otherPixels > 0)
        return FormatResourceString(IDS_FILE_PALETTE_TAKEN, {std::to_string(report.takeover.otherPixels),
                                                             std::to_string(report.takeover.otherFrames)});
    return {};
}
