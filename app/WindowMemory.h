// What the window remembers of each game folder from run to run: where it
// stood on the screen, its size, and the portrait it showed last. Kept in
// the host's settings, the most recent folders first, and given back when
// the same folder is opened again. The panels beside the client area have
// no sizes of their own to keep: they follow the window's width.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "DialogHost.h"

class CEditorModel;

class CWindowMemory {
public:
    // Where the settings keep it: three strings a folder (the folder, the
    // placement as "x y width height maximised", the portrait's name), for
    // at most kMaxFolders folders.
    static constexpr const char* kKey = "windows/games";
    static constexpr size_t kMaxFolders = 10;

    // Notes, for the model's game folder, where the window stands now (as
    // far as the host can tell) and the portrait it shows.
    static void Remember(IDialogHost& host, const CEditorModel& model);
    // The portrait last shown with the model's game folder, in the editor's
    // order; 0 when none is remembered or it is gone from the catalogue.
    static int32_t RecallPortrait(const IDialogHost* host, const CEditorModel& model);
    // Puts the window where it stood last with the model's game folder;
    // nothing when that is not known.
    static void RecallPlacement(IDialogHost& host, const CEditorModel& model);

private:
    struct Entry {
        std::string folder;
        std::optional<WindowPlacement> placement;
        std::string portrait;
    };
    static std::vector<Entry> Read(const IDialogHost& host);
    static std::optional<Entry> Find(const IDialogHost* host, const std::string& folder);
};
