#include "FileMenu.h"

#include <algorithm>
#include <ctime>
#include <string>
#include <utility>
#include <vector>

#include "CatalogueManifest.h"
#include "CatalogueOperations.h"
#include "CommandMessages.h"
#include "EditCommands.h"
#include "FileSystem.h"
#include "CommandUi.h"
#include "DialogHost.h"
#include "EditorModel.h"
#include "EditorView.h"
#include "GameFolderSearch.h"
#include "RecentFolders.h"
#include "Resources.h"

namespace {

using Outcome = CommandEffects::Outcome;

// A box lists at most this many files or problems, then how many more.
constexpr size_t kMaxListedLines = 20;

std::string ListLines(const std::vector<std::string>& lines)
{
    std::string text;
    for (size_t i = 0; i < lines.size() && i < kMaxListedLines; ++i)
        text += (i ? "\n" : "") + lines[i];
    if (lines.size() > kMaxListedLines) {
        // Two appends: g++ 12 at -O3 warns (-Wrestrict) about "\n" + a temporary.
        text += '\n';
        text += FormatResourceString(IDS_AND_MORE, {std::to_string(lines.size() - kMaxListedLines)});
    }
    return text;
}

// The files that failed, each with its reason, on lines of their own after
// a summary; nothing when none did.
template <class Failure>
std::string FailedFiles(const std::vector<Failure>& failed)
{
    std::vector<std::string> lines;
    for (const Failure& f : failed)
        lines.push_back(f.path + ": " + f.reason);
    return lines.empty() ? std::string() : "\n\n" + FormatResourceString(IDS_FILES_FAILED, {ListLines(lines)});
}

// A folder's name in a menu: an ampersand stands for itself.
std::string WithoutMnemonics(const std::string& text)
{
    std::string out;
    for (char c : text)
        out += c == '&' ? std::string("&&") : std::string(1, c);
    return out;
}

Outcome OutcomeOf(bool failed, bool cancelled, bool nothing)
{
    return failed ? Outcome::kFailed : cancelled ? Outcome::kCancelled : nothing ? Outcome::kNothing : Outcome::kDone;
}

// The host's progress dialog over an operation of the catalogue: shown at
// the first step, once the count is known (a refused manifest shows none),
// and closed before the summary.
class CStepProgress {
public:
    CStepProgress(IDialogHost* host, int32_t titleId) : m_host(host), m_title(LoadResourceString(titleId)) {}
    ~CStepProgress() { End(); }
    CStepProgress(const CStepProgress&) = delete;
    CStepProgress& operator=(const CStepProgress&) = delete;

    CatalogueProgress Callback()
    {
        return [this](int32_t done, int32_t total, const std::string& name) {
            if (!m_host)
                return true;
            if (!m_shown)
                m_host->BeginProgress(m_title, total);
            m_shown = true;
            return m_host->StepProgress(done, name);
        };
    }
    void End()
    {
        if (m_shown)
            m_host->EndProgress();
        m_shown = false;
    }

private:
    IDialogHost* m_host;
    std::string m_title;
    bool m_shown = false;
};

} // namespace

bool CFileMenu::Choose(int32_t id)
{
    switch (id) {
    case ID_FILE_EXPORT_CATALOGUE: ExportCatalogue(); return true;
    case ID_FILE_IMPORT_CATALOGUE: ImportCatalogue(); return true;
    case ID_FILE_VALIDATE: Validate(); return true;
    case ID_FILE_REVERT_PORTRAIT: RevertPortrait(); return true;
    case ID_FILE_OPEN_GAME: OpenGameFolder(); return true;
    default: break;
    }
    if (id < ID_FILE_RECENT_FIRST || id > ID_FILE_RECENT_LAST)
        return false;
    const std::vector<std::string> recent = CRecentFolders::Read(m_ui.Host());
    const size_t n = static_cast<size_t>(id - ID_FILE_RECENT_FIRST);
    if (n < recent.size())
        m_view.OpenGameFolder(recent[n]);
    return true;
}

void CFileMenu::ExportCatalogue()
{
    // A cancelled chooser, or No to replacing an export, does nothing. A
    // new folder's name is taken: the export makes it, with its parents.
    IDialogHost* host = m_ui.Host();
    std::string folder;
    if (!host || !host->ChooseFolderToWrite(LoadResourceString(IDS_CHOOSE_EXPORT_FOLDER), m_model.BaseDir(), folder))
        return;
    const bool replace = CFileSystem::PathExists(folder + "/" + CatalogueManifest::kFileName);
    if (replace && !m_ui.AskYesNo(IDS_REPLACE_EXPORT, FormatResourceString(IDS_REPLACE_EXPORT, {folder}), "Question"))
        return;
    // The export holds what the window shows, as Create Archive packs it.
    if (!m_view.SaveCurrentPortrait())
        return;
    CStepProgress progress(host, IDS_EXPORTING_CATALOGUE);
    const CatalogueExportResult r = m_model.Operations().ExportCatalogue(
        folder, m_model.GetExportFormat(), replace, progress.Callback());
    progress.End();
    for (const ExportedFile& f : r.files)
        m_ui.RecordWritten(CFileSystem::ResolvePath(r.outDir + "/" + f.path));
    if (!r.manifestPath.empty())
        m_ui.RecordWritten(r.manifestPath);

    if (r.result != CatalogueExportResult::kOk) {
        const int32_t reason = r.result == CatalogueExportResult::kManifestExists      ? IDS_EXPORT_REASON_EXISTS
                               : r.result == CatalogueExportResult::kCannotCreateFolder ? IDS_EXPORT_REASON_NO_FOLDER
                               : r.result == CatalogueExportResult::kArchiveUnreadable  ? IDS_EXPORT_REASON_ARCHIVE
                                                                                        : IDS_EXPORT_REASON_MANIFEST;
        m_ui.RecordOutcome(CommandEffects::kExportCatalogue, Outcome::kFailed);
        m_ui.MessageBox(IDS_CATALOGUE_NOT_EXPORTED,
                            FormatResourceString(IDS_CATALOGUE_NOT_EXPORTED, {r.outDir, LoadResourceString(reason)}) +
                                FailedFiles(r.failed),
                            "Error");
        return;
    }
    m_ui.RecordOutcome(CommandEffects::kExportCatalogue,
                           OutcomeOf(!r.failed.empty(), r.cancelled, r.files.empty()));
    m_ui.MessageBox(IDS_CATALOGUE_EXPORTED,
                        FormatResourceString(IDS_CATALOGUE_EXPORTED, {r.outDir, std::to_string(r.files.size())}) +
                            FailedFiles(r.failed) +
                            (r.cancelled ? "\n\n" + LoadResourceString(IDS_EXPORT_CANCELLED) : std::string()),
                        "Info");
}

void CFileMenu::ImportCatalogue()
{
    IDialogHost* host = m_ui.Host();
    std::string folder;
    if (!host || !host->ChooseFolder(LoadResourceString(IDS_CHOOSE_IMPORT_FOLDER), m_model.BaseDir(), folder))
        return;
    // The import reads the override files: the window's changes go into them
    // first, so that none is lost or overwritten.
    if (!m_view.SaveCurrentPortrait())
        return;
    const ImportOptions options = m_model.GetImportOptions();
    CStepProgress progress(host, IDS_IMPORTING_CATALOGUE);
    CatalogueImportResult r =
        m_model.Operations().ImportCatalogue(folder, options, false, false, progress.Callback());
    if (r.result == CatalogueImportResult::kOtherArchive) {
        if (!m_ui.AskYesNo(IDS_IMPORT_OTHER_ARCHIVE,
                               FormatResourceString(IDS_IMPORT_OTHER_ARCHIVE, {folder, r.reason}), "Question"))
            return;
        r = m_model.Operations().ImportCatalogue(folder, options, false, true, progress.Callback());
    }
    progress.End();
    if (r.result != CatalogueImportResult::kOk) {
        m_ui.RecordOutcome(CommandEffects::kImportCatalogue, Outcome::kFailed);
        m_ui.MessageBox(IDS_CATALOGUE_NOT_IMPORTED,
                            FormatResourceString(IDS_CATALOGUE_NOT_IMPORTED, {r.manifestPath, r.reason}), "Error");
        return;
    }
    for (const std::string& path : r.saved)
        m_ui.RecordWritten(path);
    // The import may have written the override files of the portrait shown.
    m_view.ReloadPortrait();
    m_ui.RecordOutcome(CommandEffects::kImportCatalogue,
                           OutcomeOf(!r.failed.empty(), r.cancelled, r.imported.empty()));
    std::string text = FormatResourceString(IDS_CATALOGUE_IMPORTED,
                                            {std::to_string(r.imported.size()), std::to_string(r.unchanged)});
    // Kept indices that show other colours than the files, as Import says.
    int64_t recoloured = 0;
    for (const ImportedFile& f : r.imported)
        recoloured += f.recolouredPixels;
    if (recoloured > 0)
        text += "\n\n" + FormatResourceString(IDS_KEPT_INDICES_RECOLOURED, {std::to_string(recoloured)});
    // Remapped pixels far from the files' colours, as the notice says.
    int64_t far = 0, farFrames = 0;
    double largest = 0.0;
    for (const ImportedFile& f : r.imported) {
        far += f.farPixels;
        farFrames += f.farPixels > 0 ? 1 : 0;
        largest = std::max(largest, f.farPixels > 0 ? f.largestDistance : 0.0);
    }
    if (far > 0)
        text += "\n\n" + FormatResourceString(IDS_CATALOGUE_COLOUR_LOSS, {std::to_string(far),
                                                                           std::to_string(farFrames),
                                                                           DistanceText(largest)});
    text += FailedFiles(r.failed);
    if (r.cancelled)
        text += "\n\n" + LoadResourceString(IDS_IMPORT_CANCELLED);
    m_ui.MessageBox(IDS_CATALOGUE_IMPORTED, text, "Info");
}

void CFileMenu::Validate()
{
    const ValidationReport report = m_model.Operations().Validate();
    if (!report.ran) {
        m_ui.RecordOutcome(CommandEffects::kValidate, Outcome::kNothing);
        m_ui.MessageBox(IDS_VALIDATE_NO_CATALOGUE, LoadResourceString(IDS_VALIDATE_NO_CATALOGUE), "Error");
        return;
    }
    if (report.problems.empty()) {
        m_ui.RecordOutcome(CommandEffects::kValidate, Outcome::kDone);
        m_ui.MessageBox(IDS_VALIDATE_ALL_VALID, LoadResourceString(IDS_VALIDATE_ALL_VALID), "Info");
        return;
    }
    std::vector<std::string> lines;
    for (const ValidationProblem& p : report.problems)
        lines.push_back(p.path + ": " + p.fault);
    m_ui.RecordOutcome(CommandEffects::kValidate, Outcome::kFailed);
    m_ui.MessageBox(IDS_VALIDATE_PROBLEMS,
                        FormatResourceString(IDS_VALIDATE_PROBLEMS, {std::to_string(lines.size()), ListLines(lines)}),
                        "Info");
}

void CFileMenu::RevertPortrait()
{
    const PortraitRecord* record = m_model.Record(m_model.CurrentPortrait());
    if (!record ||
        !m_ui.AskYesNo(IDS_REVERT_ASK, FormatResourceString(IDS_REVERT_ASK, {record->GetName()}), "Question"))
        return;
    // The Edit menu's revert of the whole portrait, which Undo takes back.
    CEditCommands(m_model, m_ui, m_view).Revert(true);
}

void CFileMenu::OpenGameFolder()
{
    IDialogHost* host = m_ui.Host();
    if (!host)
        return;
    // The other games on this computer are offered above the chooser.
    CGameFolderSearch search(GameSearchPlaces::FromEnvironment());
    std::string folder;
    if (host->ChooseSuggestedFolder(LoadResourceString(IDS_CHOOSE_GAME_FOLDER), m_model.BaseDir(), search, folder))
        m_view.OpenGameFolder(folder);
}

MenuTemplate CFileMenu::MenuWithRecentFolders(const std::vector<std::string>& recent)
{
    MenuTemplate menu = PortraitEditorMenu();
    std::vector<MenuItemTemplate>& items = menu.menus.at(0).items;
    std::vector<MenuItemTemplate> folders;
    const size_t most = static_cast<size_t>(ID_FILE_RECENT_LAST - ID_FILE_RECENT_FIRST) + 1;
    for (size_t i = 0; i < recent.size() && i < most; ++i) {
        // Put together piece by piece: a sum of temporaries draws a false
        // overlap warning at -O3.
        std::string text = "&";
        text += std::to_string(i + 1);
        text += ' ';
        text += WithoutMnemonics(recent[i]);
        folders.push_back({ID_FILE_RECENT_FIRST + static_cast<int32_t>(i), text, false, 0, ""});
    }
    items.insert(items.begin() + 1, folders.begin(), folders.end());
    return menu;
}
