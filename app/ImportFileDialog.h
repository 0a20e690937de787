// Import's open-file dialog: TGA and PNG files, opening in the game's
// Portraits folder (where Export writes) until a file was chosen in it, and
// from then on at the file chosen last, in its folder. A cancel changes
// nothing; another game folder starts in its Portraits again.
#pragma once

#include <cstddef>
#include <string>

class CGameFolder;
class IDialogHost;

class CImportFileDialog {
public:
    // The longest path the dialog returns, terminator included.
    static constexpr size_t kFileNameBufferSize = 260;

    // Where the dialog starts in the game folder.
    std::string StartPath(const CGameFolder& game) const;
    // Asks the host for a file; true with its path, false (path empty) when
    // cancelled or without a host.
    bool Ask(IDialogHost* host, const CGameFolder& game, std::string& path);
    // Another game folder: the dialog starts in its Portraits.
    void Forget() { m_last.clear(); }

private:
    std::string m_last; // the file last chosen; empty for none in this game
};
