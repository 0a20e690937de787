// One image of a portrait (its LARGE, MEDIUM or SMALL size) in the game's GFX
// format: header, palette, frame table, one raster surface per frame, and
// which frames were replaced since it was loaded. It loads from the entry's
// override file when there is one and from the game archive otherwise, and
// saves itself as an override file when a frame has changed.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "GfxFrameRecord.h"
#include "ExportFileName.h"
#include "FrameExchange.h"
#include "FileSystem.h"
#include "GfxHeader.h"
#include "ImportOptions.h"
#include "MessageBoxHandler.h"
#include "ReplaceFailure.h"
#include "RasterSurface.h"

class CGameArchive;
struct GfxImage;

// An image as it stood at one moment, for undo: its GFX bytes as a save
// would have written them then, and whether it was the archive's own image,
// unchanged.
struct ImageSnapshot {
    std::shared_ptr<const std::vector<uint8_t>> bytes;
    bool original = false;
};

class CPortraitImage {
public:
    // Results of Load.
    static constexpr int32_t kLoadOk = 1;
    static constexpr int32_t kLoadFailed = -1;

    // Results of ReplaceFrame.
    static constexpr int32_t kReplaceOk = 1;
    static constexpr int32_t kReplaceWrongDepth = -1;
    static constexpr int32_t kReplaceWrongSize = -2;

    // Results of Save. On every failure the file that stood at the override
    // file's name stays as it was, and the changed frames stay changed.
    static constexpr int32_t kSaveOk = 0;
    static constexpr int32_t kSaveCannotCreate = -1;
    // The new file could not be written in full (a stored frame could not be
    // copied, or a write failed).
    static constexpr int32_t kSaveIncomplete = -2;
    // Another program put another file at the name since the image was
    // loaded; a save with SaveMode::kSetOtherAside writes over it.
    static constexpr int32_t kSaveReplacedMeanwhile = -3;
    // Another program kept the folder locked longer than a save waits.
    static constexpr int32_t kSaveFolderBusy = -4;
    // A file in the way (damaged, or another program's) could not be moved
    // to Portraits\Reverted.
    static constexpr int32_t kSaveCannotSetAside = -5;

    // What Save does with a file that another program put in place since
    // the load: keeps it and saves nothing, or sets it aside (into
    // Portraits\Reverted) and saves.
    enum class SaveMode { kKeepOther, kSetOtherAside };

    CPortraitImage();
    ~CPortraitImage();
    CPortraitImage(const CPortraitImage&) = delete;
    CPortraitImage& operator=(const CPortraitImage&) = delete;

    void Reset();
    int32_t Load(const std::string& baseDir, const std::string& archivePath, int32_t entryIndex,
                 CGameArchive* archive);
    // Reads an image from memory.
    void ReadImage(const uint8_t* data, size_t size);

    CRasterSurface* GetFrameSurface(int32_t i) const;
    // How many frames the image holds: a palette image's frame table's, a
    // true-colour image's one (it has no frame table).
    int32_t FrameCount() const
    {
        int32_t frames = 0;
        while (GetFrameSurface(frames))
            ++frames;
        return frames;
    }
    CRasterSurface* GetDisplaySurface(int32_t i) const;
    int32_t SetPalette(const uint8_t* palette);


    // Replacing and saving.
    int32_t ExportFrame(int32_t i, const std::string& tgaPath) const;
    int32_t ExportFrame(int32_t i, const std::string& path, ExportFormat format) const;
    // The bytes ExportFrame writes for frame i in the format, into bytes;
    // false when it would write nothing.
    bool EncodeFrame(int32_t i, ExportFormat format, std::vector<uint8_t>& bytes) const;
    // useTgaPalette imports with the file's palette, else remapped.
    int32_t ReplaceFrame(int32_t i, const std::string& tgaPath, bool useTgaPalette);
    // The same, saying why a file was not taken.
    int32_t ReplaceFrame(int32_t i, const std::string& tgaPath, bool useTgaPalette, ReplaceFailure& failure);
    // The import mode decides how a palette image takes the file's pixels;
    // a true-colour image takes them as they are in every mode. A file whose
    // indices are kept and equal the frame's leaves the frame unchanged.
    int32_t ReplaceFrame(int32_t i, const std::string& path, const ImportOptions& options, ReplaceFailure& failure);
    // The same for a file read already, by ReadImportFile for this frame's
    // size and kind with these options.
    int32_t ReplaceFrame(int32_t i, ImportPicture picture, const ImportOptions& options, ReplaceFailure& failure);
    int32_t RemapFrameToPalette(int32_t i);
    int32_t RefreshDisplayFrame(int32_t i);
    int32_t SaveIfChanged();
    int32_t Save(SaveMode mode = SaveMode::kKeepOther);

    // Undo: the image as it stands, and back to such a moment. A restored
    // image counts as changed until it is saved (or loaded again), and its
    // unchanged frames are then written from the snapshot's bytes, so that a
    // save writes exactly the image of that moment; unless the file it loads
    // from holds that moment still, which is then loaded again.
    bool TakeSnapshot(ImageSnapshot& snapshot) const;
    void RestoreSnapshot(const ImageSnapshot& snapshot);
    // Whether the image shows the archive's own image: loaded from the
    // archive, or restored to such a moment, with no frame changed since.
    bool IsOriginal() const;

    // The override file this image saves to; false for an entry whose base
    // name cannot be a file name.
    bool GetOverridePath(std::string& path) const { return OverridePaths(path); }
    // Why the override file at that name is not used (it is damaged, or no
    // file), or empty when there is none or it is used.
    const std::string& OverrideFault() const { return m_overrideFault; }
    // Whether what stands at the override file's name is what stood there
    // when the image was loaded or last saved: false once another program
    // wrote, replaced or removed it (or put one where there was none).
    bool OverrideFileUnchanged() const
    {
        std::string path;
        return !OverridePaths(path) || CFileSystem::Identify(path) == m_overrideIdentity;
    }
    // Where the last Save moved a file that stood in its way; empty when it
    // moved none.
    const std::string& SetAsidePath() const { return m_setAside; }

    // The override folder below the base directory, with a leading backslash.
    void SetSubFolder(const std::string& subFolder) { m_subFolder = subFolder; }

    // Who is told of a frame whose data would overrun its buffer while the
    // image loads (the dialog's host); until one is set nobody is.
    void SetMessageHandler(MessageBoxHandler handler) { m_messageHandler = std::move(handler); }

    // Read access for the view and the commands.
    const GfxHeader& Header() const { return m_header; }
    const std::vector<GfxFrameRecord>& FrameTable() const { return m_frameTable; }
    const uint8_t* Palette() const { return m_palette; }
    const std::string& SourcePath() const { return m_sourcePath; }
    const std::string& EntryName() const { return m_entryName; }
    bool IsFrameChanged(int32_t i) const;
    bool HasChanges() const;
    // The result of the last Save, and the system's error number of the
    // last Save that failed (0 when it was none: a stored frame that could
    // not be copied, say).
    int32_t LastSaveResult() const { return m_saveResult; }
    int LastSaveError() const { return m_saveError; }
    // Width and height of frame i: its record's when there is a frame table,
    // else the header's.
    void GetFrameSize(int32_t i, int32_t& width, int32_t& height) const;

private:
    // Reads the image from bytes that it then keeps, for its unchanged
    // frames.
    void ReadHeldImage(std::shared_ptr<const std::vector<uint8_t>> bytes);
    void ReadPaletteImage(const GfxImage& gfx);
    int32_t WriteOverrideFile(SaveMode mode);
    void ReadTrueColourImage(const GfxImage& gfx);
    bool BuildImage(GfxImage& gfx) const;
    bool BuildPaletteImage(GfxImage& gfx) const;
    bool BuildTrueColourImage(GfxImage& gfx) const;
    bool ReadStoredFrame(int32_t i, std::vector<uint8_t>& bytes) const;
    bool OverridePaths(std::string& finalPath) const;
    void CoverUsedColours(int32_t i);

    GfxHeader m_header;
    std::vector<GfxFrameRecord> m_frameTable;           // palette images only
    uint8_t m_palette[256 * 4] = {};                    // blue, green, red, 0
    std::string m_entryName;
    std::string m_baseDir;
    std::string m_archivePath;
    std::string m_sourcePath;
    std::vector<std::unique_ptr<CRasterSurface>> m_frameSurfaces;
    std::vector<std::unique_ptr<CRasterSurface>> m_displaySurfaces; // palette images only
    std::vector<int32_t> m_changed;
    CGameArchive* m_archive = nullptr;
    int32_t m_entryIndex = -1;
    std::string m_subFolder = "\\Export";
    // Colours stored in the source file, which tell where its frames lie
    // even after an import has made the header's colour count larger.
    int32_t m_sourceColours = 0;
    int32_t m_saveResult = kSaveOk;
    int m_saveError = 0;
    MessageBoxHandler m_messageHandler;
    // The bytes of the image as loaded (or restored), which its unchanged
    // frames are copied from.
    std::shared_ptr<const std::vector<uint8_t>> m_sourceBytes;
    // What stood at the override file's name at the load, which a save must
    // find there still; and why it was not used, when it was not.
    FileIdentity m_overrideIdentity;
    std::string m_overrideFault;
    std::string m_setAside;
    bool m_restored = false;
    bool m_original = false;
};
