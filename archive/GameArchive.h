// Reader of the game's archive format, writer and reader of override headers,
// and builder of patch archives in the same format: the files and the results
// around the byte-level code of ArchiveFormat.h and OverrideFormat.h.
#pragma once

#include <cstdint>
#include <array>
#include <cstdio>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "ArchiveHeader.h"
#include "ArchiveRecord.h"
#include "PatchSlot.h"

class CGameArchive {
public:
    // Results of Open.
    static constexpr int32_t kOpenOk = 1;
    static constexpr int32_t kOpenCannotOpen = -1;
    static constexpr int32_t kOpenShortFile = -2;   // short header or directory, negative count
    static constexpr int32_t kOpenCountMismatch = -3;

    // Results of ReadOverrideHeader.
    static constexpr int32_t kReadHeaderOk = 1;
    static constexpr int32_t kReadHeaderShort = -1;  // the file ends inside the header

    // Results of AddFile.
    static constexpr int32_t kAddOk = 1;
    static constexpr int32_t kAddNotBegun = -1;
    static constexpr int32_t kAddFull = -2;
    static constexpr int32_t kAddCannotOpen = -3;
    // The file is not a complete override file: its header is cut short, its
    // name is empty, holds a zero byte or is longer than an entry name's 255
    // bytes, or its payload
    // runs past the end of the file.
    static constexpr int32_t kAddMalformed = -4;

    // Results of WriteArchive. On every failure the previous patch archive,
    // if any, is left exactly as it was.
    static constexpr int32_t kWriteOk = 1;
    static constexpr int32_t kWriteCannotCreate = -1;     // also: no build begun
    static constexpr int32_t kWriteSourceUnreadable = -2; // GetFailedSourcePath names the file
    static constexpr int32_t kWriteFailed = -3;           // a write failed (disk full, ...)

    static constexpr int32_t kSlotTableSize = 256;
    static constexpr int32_t kMaxSlots = 255; // the last slot is never filled

    CGameArchive();
    ~CGameArchive();
    CGameArchive(const CGameArchive&) = delete;
    CGameArchive& operator=(const CGameArchive&) = delete;

    // Reader.
    void Clear();
    int32_t Open(std::string_view path);
    int32_t GetEntryCount() const;
    const char* GetEntryName(int32_t index) const; // at most 255 characters
    uint32_t GetEntryOffset(int32_t index) const;  // 0xFFFFFFFF out of range
    uint32_t GetEntrySize(int32_t index) const;    // 0 out of range
    // The bytes of entry `index` as far as the archive file holds them, and
    // at most `limit` of them: the size a directory record claims never
    // decides an allocation on its own. False when there is no such entry or
    // the archive file cannot be opened. Safe to call from several threads.
    bool ReadEntry(int32_t index, std::vector<uint8_t>& bytes, uint64_t limit) const;
    // The header and the directory as Open read them (empty when nothing is
    // open), and the file's size then. In the directory, a name field that
    // holds no zero has its last byte made zero, as GetEntryName cuts it,
    // whichever names were asked for before.
    std::span<const uint8_t> GetHeaderBytes() const;
    std::span<const uint8_t> GetDirectoryBytes() const;
    uint64_t GetFileSize() const { return m_fileSize; }
    // A number that tells this opening of an archive from every other one
    // in the process (by any reader); 0 when nothing is open. What is worked
    // out from the header and directory holds while it stays the same.
    uint64_t GetOpenSerial() const { return m_openSerial; }

    // Override header.
    int32_t WriteOverrideHeader(FILE* file, int32_t entryIndex) const;
    int32_t ReadOverrideHeader(FILE* file, uint32_t& payloadSize) const;

    // Patch builder.
    // storedPath goes into the header's path field; empty: the output path.
    // A patch names itself there by its place below the base directory, so
    // that a shared patch does not tell where the modder keeps the game.
    int32_t BeginBuild(std::string_view outputPath, std::string_view storedPath = {});
    int32_t AddFile(std::string_view path);
    int32_t WriteArchive();
    // The override file that made the last WriteArchive fail with
    // kWriteSourceUnreadable; empty otherwise.
    const std::string& GetFailedSourcePath() const { return m_failedSource; }
    // The system's error number of the step that made the last WriteArchive
    // fail to create or write the patch; 0 otherwise.
    int GetWriteError() const { return m_writeError; }

private:
    // Parses directory record `index`; false out of range.
    bool GetRecord(int32_t index, ArchiveRecord& record) const;

    int32_t m_count = 0;
    std::array<uint8_t, ArchiveHeader::kSize> m_header{};
    std::unique_ptr<uint8_t[]> m_directory; // count x 280 bytes as read
    uint64_t m_fileSize = 0;
    uint64_t m_openSerial = 0;
    std::string m_path; // of the archive opened

    std::unique_ptr<PatchSlot[]> m_slots;
    int32_t m_slotCount = 0;
    int32_t m_buildBegun = 0;
    std::string m_outputPath;
    std::string m_storedPath;
    std::string m_failedSource;
    int m_writeError = 0;
};
