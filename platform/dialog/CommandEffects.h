// What a dialog's commands did, recorded as they do it: the files they wrote
// and removed, the messages they showed by string id, and what each
// operation came to. A host that keeps the record lends it to its dialog;
// the command-line tool and tests read it to learn what a command did.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct CommandEffects {
    // The commands of the buttons, then those of the File menu over the
    // whole catalogue.
    enum Operation : int32_t {
        kExport,
        kImport,
        kSave,
        kPack,
        kExportCatalogue,
        kImportCatalogue,
        kValidate,
        kRevert,
        kOperationCount
    };
    // What an operation came to: done, nothing to do (a slot without a
    // frame, an image without changes), failed with a message saying why
    // (for a validation: problems found), or cancelled by the user part-way.
    enum class Outcome : int32_t { kNotRun = 0, kDone = 1, kNothing = 2, kFailed = 3, kCancelled = 4 };

    struct Message {
        int32_t stringId;
        std::string text; // as shown
    };

    std::vector<std::string> written; // platform paths, in the order written
    std::vector<std::string> removed; // files a command took away (an export cut short)
    std::vector<Message> messages;    // message boxes and questions, in order
    Outcome outcomes[kOperationCount] = {};

    void Clear() { *this = CommandEffects{}; }
    Outcome Result(Operation operation) const { return outcomes[operation]; }
    // The first message shown with the string, or null.
    const Message* Find(int32_t stringId) const;
};
