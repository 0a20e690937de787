// The editor without its window: the game folder and its catalogue, the
// current portrait's three images, the edits' histories, the exchange's
// options, and the one object of operations over the whole catalogue. It
// loads a portrait, saves the changed images and says what it saved and
// what failed, moves override files aside and loads images again. It shows
// nothing and asks nothing itself: the dialog, the commands and
// portrait-tool tell the user what it reports. It works on the dialog's
// own members (base directory, archive, images and records), which it is
// given by reference.
#pragma once

#include <cstdint>
#include <ctime>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "CatalogueOperations.h"
#include "ExportFileName.h"
#include "GameArchive.h"
#include "GameFolder.h"
#include "ImportOptions.h"
#include "ImportReport.h"
#include "OverrideCheckCache.h"
#include "PortraitEdits.h"
#include "PortraitImage.h"
#include "PortraitRecord.h"

// The most portraits a catalogue holds.
constexpr int32_t kMaxPortraits = 64;

// An image of the current portrait whose change could not be saved.
struct UnsavedImage {
    PortraitSize size = kSizeLarge;
    std::string path;   // the override file it was to go to
    std::string reason; // why, as a message's reason line says it
};

// What a save of the current portrait's changed images did.
struct SaveReport {
    bool changed = false;            // an image had changes
    bool saved[kSizeCount] = {};     // sizes written to their override files
    bool reloaded = false;           // an image loads from elsewhere now (moved aside, let go)
    std::vector<std::string> written; // host paths, in order
    std::vector<std::string> removed;
    std::vector<UnsavedImage> failed;
    bool Ok() const { return failed.empty(); }
};

// An image of the current portrait and one of its frames.
struct FrameTarget {
    PortraitSize size = kSizeLarge;
    int32_t frame = 0;
};

// A damaged override file that an image of the current portrait does not use.
struct UnusedOverride {
    std::string path; // the host path
    std::string fault;
};

class CEditorModel {
public:
    // What a scan of the game folder found.
    enum class ScanResult { kOk, kNoArchive, kTooManyPortraits };

    CEditorModel(std::string& baseDir, CGameArchive& archive, CPortraitImage (&images)[kSizeCount],
                 PortraitRecord* (&records)[kMaxPortraits], int32_t& portraitCount, int32_t& currentPortrait);
    ~CEditorModel() { ForgetCatalogue(); }
    CEditorModel(const CEditorModel&) = delete;
    CEditorModel& operator=(const CEditorModel&) = delete;

    // The game folder at the base directory and its catalogue, read from the
    // archive's directory: at most kMaxPortraits portraits, those found
    // before a 65th are kept. No portrait is current afterwards.
    ScanResult Scan();
    // Lets the catalogue, the current portrait and the edits' histories go.
    void ForgetCatalogue();

    CGameFolder Folder() const { return CGameFolder(m_baseDir); }
    const std::string& BaseDir() const { return m_baseDir; }
    const CGameArchive& Archive() const { return m_archive; }
    int32_t PortraitCount() const { return m_portraitCount; }
    int32_t CurrentPortrait() const { return m_currentPortrait; }
    bool HasCurrentPortrait() const { return m_currentPortrait >= 0 && m_currentPortrait < m_portraitCount; }
    const PortraitRecord* Record(int32_t i) const;

    // The current portrait's images.
    CPortraitImage& Image(PortraitSize size) { return m_images[size]; }
    const CPortraitImage& Image(PortraitSize size) const { return m_images[size]; }
    CPortraitImage* Images() { return m_images; }
    // Loads the portrait's three images, from their override files where
    // they are sound, and makes it the current one; nothing is saved.
    void LoadPortrait(int32_t index);
    // Loads an image of the current portrait again from where it loads from.
    void ReloadImage(PortraitSize size);
    // The damaged override files the current images do not use that were
    // not yet reported in this run; each is reported once.
    std::vector<UnusedOverride> TakeUnusedOverrides();

    // Saves the current portrait's changed images. An image undone back to
    // the archive's has its override file moved aside instead. Where another
    // program put another file in place since the load, overOther says
    // whether to save over it (that file is then set aside); without it, or
    // when it says no, that image is let go and loads what is there now.
    SaveReport SaveChangedImages(const std::function<bool(const std::string& hostPath)>& overOther = {});
    // Moves the override file of an image of the current portrait aside
    // (Portraits\Reverted) and loads the image from the archive again.
    RevertResult MoveOverrideAside(PortraitSize size, std::time_t now = std::time(nullptr));

    // Writes a frame of the current portrait, named as Export names it, into
    // a folder below Portraits (made when missing), for another program:
    // path gets its host path. False, with the system's error number, when
    // it could not be written.
    bool WriteFrameFile(const FrameTarget& target, const std::string& folder, ExportFormat format, std::string& path,
                        int& error);

    // The exchange's options, which last for the run.
    const ImportOptions& GetImportOptions() const { return m_importOptions; }
    void SetImportOptions(const ImportOptions& options) { m_importOptions = options; }
    ExportFormat GetExportFormat() const { return m_exportFormat; }
    void SetExportFormat(ExportFormat format) { m_exportFormat = format; }
    // Whether exports and packs ask before they overwrite what the modder
    // may want to keep; the window does, portrait-tool does not.
    bool AsksBeforeOverwriting() const { return m_askBeforeOverwriting; }
    void SetAskBeforeOverwriting(bool ask) { m_askBeforeOverwriting = ask; }

    // What the last import into the current portrait did to its colours;
    // a portrait loaded forgets it.
    const ImportReport& LastImport() const { return m_lastImport; }
    void SetLastImport(ImportReport report) { m_lastImport = std::move(report); }

    CPortraitEdits& Edits() { return m_edits; }
    // The operations over the whole catalogue, made once a scan.
    CCatalogueOperations& Operations() { return *m_operations; }

private:
    std::string& m_baseDir;
    CGameArchive& m_archive;
    CPortraitImage (&m_images)[kSizeCount];
    PortraitRecord* (&m_records)[kMaxPortraits];
    int32_t& m_portraitCount;
    int32_t& m_currentPortrait;

    ImportOptions m_importOptions;
    ExportFormat m_exportFormat = ExportFormat::kTga;
    bool m_askBeforeOverwriting = false;
    ImportReport m_lastImport;
    CPortraitEdits m_edits;
    COverrideCheckCache m_overrideChecks;
    std::unique_ptr<CCatalogueOperations> m_operations;
    std::set<std::string> m_reported; // damaged override files reported, with their faults
};
