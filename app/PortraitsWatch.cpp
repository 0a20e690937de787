#include "PortraitsWatch.h"

#include "CommandUi.h"
#include "DialogHost.h"
#include "EditorModel.h"
#include "EditorView.h"
#include "FileSystem.h"
#include "PortraitPanels.h"
#include "Resources.h"

void CPortraitsWatch::Start()
{
    IDialogHost* host = m_ui.Host();
    if (!host)
        return;
    const std::string folder = m_model.Folder().PortraitsFolder();
    if (m_model.PortraitCount() > 0 && CFileSystem::PathExists(folder))
        host->WatchFolder(CFileSystem::ResolvePath(folder));
    else
        host->StopWatchingFolder();
}

void CPortraitsWatch::OnFolderChanged(bool keepCurrent)
{
    bool changed = false, unsaved = false;
    if (m_model.HasCurrentPortrait()) {
        for (PortraitSize size = kSizeLarge; size < kSizeCount; ++size) {
            changed = changed || !m_model.Image(size).OverrideFileUnchanged();
            unsaved = unsaved || m_model.Image(size).HasChanges();
        }
    }
    if (changed && !unsaved && !keepCurrent) {
        // Loaded again as it now stands on disk; the list and the line under
        // it follow.
        m_view.ReloadPortrait();
        return;
    }
    m_view.RefreshPortraitList();
    if (changed)
        m_panels.SetNotice(LoadResourceString(IDS_CHANGED_ELSEWHERE));
}
