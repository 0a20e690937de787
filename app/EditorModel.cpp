#include "EditorModel.h"

#include <cerrno>
#include <ctime>

#include "CommandMessages.h"
#include "EntryNameRules.h"
#include "FileSystem.h"
#include "Resources.h"

CEditorModel::CEditorModel(std::string& baseDir, CGameArchive& archive, CPortraitImage (&images)[kSizeCount],
                           PortraitRecord* (&records)[kMaxPortraits], int32_t& portraitCount,
                           int32_t& currentPortrait)
    : m_baseDir(baseDir), m_archive(archive), m_images(images), m_records(records), m_portraitCount(portraitCount),
      m_currentPortrait(currentPortrait),
      m_operations(std::make_unique<CCatalogueOperations>(archive, baseDir, std::vector<const PortraitRecord*>()))
{
}

CEditorModel::ScanResult CEditorModel::Scan()
{
    ScanResult result = ScanResult::kOk;
    const std::string archivePath = Folder().ArchivePath();
    if (m_archive.Open(archivePath) != CGameArchive::kOpenOk) {
        result = ScanResult::kNoArchive;
    } else {
        // Only a game folder gets a Portraits folder.
        CFileSystem::CreateFolder(Folder().PortraitsFolder());
        for (int32_t i = 0; i < m_archive.GetEntryCount() && result == ScanResult::kOk; ++i) {
            const char* name = m_archive.GetEntryName(i);
            if (!IsPortraitEntry(name))
                continue;
            const RaceIndex race = ClassifyRace(name);
            const bool male = IsMaleName(name);
            const char variant = GetVariantChar(name);
            if (race == kRaceNone)
                continue;
            PortraitRecord* record = FindRecord(m_records, m_portraitCount, race, male, variant);
            if (!record && m_portraitCount == kMaxPortraits) {
                result = ScanResult::kTooManyPortraits;
                break;
            }
            if (!record) {
                record = new PortraitRecord(race, male, variant, archivePath);
                m_records[m_portraitCount] = record;
                record->SetNameFromEntry(name);
                ++m_portraitCount;
            }
            record->SetEntry(ClassifySize(name), i);
        }
    }
    m_operations = std::make_unique<CCatalogueOperations>(
        m_archive, m_baseDir, std::vector<const PortraitRecord*>(m_records, m_records + m_portraitCount));
    m_operations->SetCheckCache(&m_overrideChecks);
    return result;
}

void CEditorModel::ForgetCatalogue()
{
    for (int32_t i = 0; i < m_portraitCount; ++i) {
        delete m_records[i];
        m_records[i] = nullptr;
    }
    m_portraitCount = 0;
    m_currentPortrait = -1;
    m_edits.ForgetAll();
    m_operations = std::make_unique<CCatalogueOperations>(m_archive, m_baseDir, std::vector<const PortraitRecord*>());
}

const PortraitRecord* CEditorModel::Record(int32_t i) const
{
    return i >= 0 && i < m_portraitCount ? m_records[i] : nullptr;
}

void CEditorModel::LoadPortrait(int32_t index)
{
    if (index < 0 || index >= m_portraitCount)
        return;
    const PortraitRecord& record = *m_records[index];
    if (index != m_currentPortrait)
        m_lastImport = ImportReport{};
    for (PortraitSize size = kSizeLarge; size < kSizeCount; ++size) {
        m_images[size].SetSubFolder(CGameFolder::kPortraitsSubFolder);
        m_images[size].Load(m_baseDir, record.GetArchivePath(), record.entryIndex[size], &m_archive);
    }
    m_currentPortrait = index;
}

void CEditorModel::ReloadImage(PortraitSize size)
{
    if (!HasCurrentPortrait())
        return;
    const PortraitRecord& record = *m_records[m_currentPortrait];
    m_images[size].Load(m_baseDir, record.GetArchivePath(), record.entryIndex[size], &m_archive);
}

std::vector<UnusedOverride> CEditorModel::TakeUnusedOverrides()
{
    // Once a file and fault a run, however often the portrait is shown.
    std::vector<UnusedOverride> unused;
    for (const CPortraitImage& image : m_images) {
        std::string path;
        if (image.OverrideFault().empty() || !image.GetOverridePath(path))
            continue;
        const std::string shown = CFileSystem::ResolvePath(path);
        if (m_reported.insert(shown + "\n" + image.OverrideFault()).second)
            unused.push_back({shown, image.OverrideFault()});
    }
    return unused;
}

RevertResult CEditorModel::MoveOverrideAside(PortraitSize size, std::time_t now)
{
    const RevertResult r = m_operations->Revert(m_currentPortrait, false, size, now);
    if (r.result == RevertResult::kOk)
        ReloadImage(size);
    return r;
}

bool CEditorModel::WriteFrameFile(const FrameTarget& target, const std::string& folder, ExportFormat format,
                                  std::string& path, int& error)
{
    const PortraitRecord* record = Record(m_currentPortrait);
    const std::string fileName =
        record ? ExportFileName(record->GetName(), target.size, target.frame, ExportScope::kOneFrame, format) : "";
    path = CFileSystem::ResolvePath(folder + "\\" + fileName);
    // A name from the archive that could leave the folder writes nothing.
    if (!CFileSystem::IsSafeFileName(fileName)) {
        error = 0;
        return false;
    }
    errno = 0;
    if (CFileSystem::CreateFolder(Folder().PortraitsFolder()) && CFileSystem::CreateFolder(folder) &&
        Image(target.size).ExportFrame(target.frame, path, format) == 1)
        return true;
    error = errno;
    return false;
}

SaveReport CEditorModel::SaveChangedImages(const std::function<bool(const std::string& hostPath)>& overOther)
{
    SaveReport report;
    if (!HasCurrentPortrait())
        return report;
    for (PortraitSize size = kSizeLarge; size < kSizeCount; ++size) {
        CPortraitImage& image = m_images[size];
        const bool hadChanges = image.HasChanges();
        report.changed = report.changed || hadChanges;
        std::string path;
        image.GetOverridePath(path);
        // An image undone back to the game archive's is not written: its
        // override file is moved aside, so that the archive's loads again.
        if (hadChanges && image.IsOriginal()) {
            const RevertResult r = MoveOverrideAside(size);
            for (const RevertedFile& file : r.moved) {
                report.removed.push_back(file.from);
                report.written.push_back(file.to);
            }
            if (r.result == RevertResult::kOk)
                report.reloaded = true;
            else
                report.failed.push_back({size, path, LoadResourceString(IDS_REASON_CANNOT_MOVE_ASIDE)});
            continue;
        }
        image.SaveIfChanged();
        // Another program's file in its place is kept unless the user wants
        // this change over it; then that file is set aside.
        if (image.HasChanges() && image.LastSaveResult() == CPortraitImage::kSaveReplacedMeanwhile && overOther) {
            if (!overOther(CFileSystem::ResolvePath(path))) {
                ReloadImage(size);
                report.reloaded = true;
                continue;
            }
            image.Save(CPortraitImage::SaveMode::kSetOtherAside);
        }
        if (!image.HasChanges()) {
            if (!image.SetAsidePath().empty())
                report.written.push_back(image.SetAsidePath());
            if (hadChanges)
                report.written.push_back(CFileSystem::ResolvePath(path));
            report.saved[size] = hadChanges;
            continue;
        }
        // A change that could not be saved is never dropped without a word.
        report.failed.push_back({size, path, SaveFailureText(image.LastSaveResult(), image.LastSaveError())});
    }
    return report;
}
