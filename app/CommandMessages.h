// What the commands tell the user, put together from the string table: why
// an import was refused, why a save failed, why a patch could not be
// written; and the request the import's open-file dialog is shown with.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "ImportReport.h"
#include "OpenFileRequest.h"
#include "ReplaceFailure.h"

// Why an import was refused, as the line under string 5; empty when no
// reason is known.
std::string ReplaceFailureText(const ReplaceFailure& why);

// The box of a refused import: string 5 with the reason under it for a TGA
// file of the wrong size or kind of pixels, as the editor always said it;
// for any other refusal a first line that names the kind of file met (TGA,
// PNG, or neither) and the reason, captioned "Error".
struct ImportRefusal {
    int32_t stringId = 0;
    std::string text;
    std::string caption;
};
ImportRefusal RefusalOf(const ReplaceFailure& why);

// Why WriteArchive failed with `result`; failedSource names the override
// file that could not be read, for that failure, and error is the system's
// error number of a patch not created or written.
std::string PackFailureText(int32_t result, const std::string& failedSource, int error);

// Why a save of an image failed, from Save's result and the system's error
// number, as the reason line of a message.
std::string SaveFailureText(int32_t result, int error);

// A file that could not be written, with the system's reason: "PATH
// (No space left on device)".
std::string NotWrittenText(const std::string& path, int error);

// An OKLab distance as the user reads it: three decimals.
std::string DistanceText(double distance);

// What the window's notice says of an import: how many pixels lie far from
// the file's colours, or how many of other frames a file's palette
// recoloured; empty when neither.
std::string ImportNoticeText(const ImportReport& report);

// The open-file dialog of Import: TGA and PNG files, opening in initialDir.
OpenFileRequest ImportFileRequest(const std::string& initialDir, size_t bufferSize);
