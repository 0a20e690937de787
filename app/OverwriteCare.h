// The questions the window asks before a command overwrites what the modder
// may want to keep: an exported TGA or PNG file in Portraits that was
// edited there since (its bytes are not those the export would write), and
// a patch archive with entries that a pack of no override files would
// replace by an empty one. The command-line tool does not ask.
#pragma once

#include <cstddef>
#include <string>

#include "ExportFileName.h"

class ICommandUi;
class CPortraitImage;

class COverwriteCare {
public:
    // Whether exporting frame `frame` of the image to path (an editor path)
    // may go ahead: yes where no regular file stands there, where it holds the very
    // bytes the export writes, or where the frame gives no bytes (the export
    // then fails and says so); otherwise the user is asked, No the default.
    static bool MayExport(ICommandUi& ui, const CPortraitImage& image, int32_t frame, ExportFormat format,
                          const std::string& path);
    // Whether a pack of `files` override files may replace the patch
    // archive at target: the user is asked, No the default, when it has
    // none and the archive there holds entries.
    static bool MayPack(ICommandUi& ui, const std::string& target, size_t files);
};
