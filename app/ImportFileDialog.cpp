#include "ImportFileDialog.h"

#include "CommandMessages.h"
#include "DialogHost.h"
#include "FileSystem.h"
#include "GameFolder.h"

std::string CImportFileDialog::StartPath(const CGameFolder& game) const
{
    return m_last.empty() ? CFileSystem::ResolvePath(game.PortraitsFolder()) : m_last;
}

bool CImportFileDialog::Ask(IDialogHost* host, const CGameFolder& game, std::string& path)
{
    path.clear();
    const OpenFileRequest request = ImportFileRequest(StartPath(game), kFileNameBufferSize);
    if (!host || !host->GetOpenFileName(request, path)) {
        path.clear();
        return false;
    }
    m_last = path;
    return true;
}
