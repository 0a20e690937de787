#include "GameArchive.h"

#include <sys/types.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "ArchiveEntry.h"
#include "OverrideHeader.h"
#include "CheckedSize.h"
#include "FileSystem.h"
#include "ReplacingFile.h"

namespace {

// The temporary file that a patch archive is written to before it replaces
// the previous one; it lies beside the target, in the same folder.
constexpr const char* kPartialSuffix = ".part";

bool ReadExactly(FILE* file, void* out, size_t n)
{
    return std::fread(out, 1, n, file) == n;
}

bool WriteAll(FILE* file, const void* data, size_t n)
{
    return CFileSystem::Write(file, data, n);
}

} // namespace

CGameArchive::CGameArchive() { Clear(); }

CGameArchive::~CGameArchive() { Clear(); }

void CGameArchive::Clear()
{
    m_header.Clear();
    m_directory.reset();
}

int32_t CGameArchive::Open(std::string_view path)
{
    Clear();
    FileHandle file = CFileSystem::OpenForReading(path);
    if (!file)
        return kOpenCannotOpen;

    if (!ReadExactly(file.get(), m_header.bytes.data(), ArchiveHeader::kSize)) {
        m_header.Clear();
        return kOpenShortFile;
    }
    const int32_t count = m_header.Count();
    if (count != m_header.CountCheck()) {
        m_header.Clear();
        return kOpenCountMismatch;
    }

    // The directory is the last count x 280 bytes. The file must hold them
    // before anything is allocated for them, whatever the header claims.
    const int64_t fileSize = CFileSystem::GetFileSize(file.get());
    const uint64_t dirBytes = static_cast<uint64_t>(count < 0 ? 0 : count) * ArchiveEntry::kSize;
    if (count < 0 || fileSize < 0 || dirBytes > static_cast<uint64_t>(fileSize)) {
        m_header.Clear();
        return kOpenShortFile;
    }

    m_directory.reset(new (std::nothrow) uint8_t[dirBytes == 0 ? 1 : dirBytes]);
    if (!m_directory ||
        ::fseeko(file.get(), static_cast<off_t>(static_cast<uint64_t>(fileSize) - dirBytes), SEEK_SET) != 0 ||
        !ReadExactly(file.get(), m_directory.get(), dirBytes)) {
        Clear();
        return kOpenShortFile;
    }

    return kOpenOk;
}

int32_t CGameArchive::GetEntryCount() const
{
    return m_directory ? m_header.Count() : 0;
}

const uint8_t* CGameArchive::Record(int32_t index) const
{
    if (index < 0 || index >= GetEntryCount())
        return nullptr;
    return m_directory.get() + static_cast<size_t>(index) * ArchiveEntry::kSize;
}

const char* CGameArchive::GetEntryName(int32_t index) const
{
    const uint8_t* record = Record(index);
    if (!record)
        return nullptr;
    // A name is at most 255 characters and a zero. A malformed record whose
    // 256 name bytes hold no zero is cut there, so that no reader runs past
    // it. Doing this here rather than in Open keeps Open a single read.
    uint8_t* name = m_directory.get() + (record - m_directory.get()) + ArchiveEntry::kNameOffset;
    if (!std::memchr(name, 0, ArchiveEntry::kNameSize))
        name[ArchiveEntry::kNameSize - 1] = 0;
    return reinterpret_cast<const char*>(name);
}

uint32_t CGameArchive::GetEntryOffset(int32_t index) const
{
    const uint8_t* record = Record(index);
    return record ? LoadU32LE(record + ArchiveEntry::kDataOffsetOffset) : 0xFFFFFFFFu;
}

uint32_t CGameArchive::GetEntrySize(int32_t index) const
{
    const uint8_t* record = Record(index);
    return record ? LoadU32LE(record + ArchiveEntry::kDataSizeOffset) : 0;
}

int32_t CGameArchive::WriteOverrideHeader(FILE* file, int32_t entryIndex) const
{
    const char* name = GetEntryName(entryIndex);
    const size_t nameLength = name ? std::strlen(name) : 0;

    std::vector<uint8_t> header(OverrideHeader::kFixedSize + nameLength);
    std::memcpy(header.data(), OverrideHeader::kMagic, OverrideHeader::kMagicSize);
    StoreU32LE(&header[OverrideHeader::kNameLengthOffset], static_cast<uint32_t>(nameLength));
    if (nameLength)
        std::memcpy(&header[OverrideHeader::kNameOffset], name, nameLength);
    // Provisional payload size: the entry's size in the archive. The writer
    // overwrites it once the payload is written.
    StoreU32LE(&header[OverrideHeader::kNameOffset + nameLength], GetEntrySize(entryIndex));

    const off_t start = ::ftello(file);
    // A header that was not written in full has no size field to fill in.
    if (!WriteAll(file, header.data(), header.size()) || start < 0)
        return -1;
    return static_cast<int32_t>(start + static_cast<off_t>(OverrideHeader::kNameOffset + nameLength));
}

int32_t CGameArchive::ReadOverrideHeader(FILE* file, uint32_t& payloadSize) const
{
    payloadSize = 0;
    uint8_t fixed[OverrideHeader::kNameOffset];
    if (!ReadExactly(file, fixed, sizeof fixed))
        return kReadHeaderShort;
    // The name is skipped, not read: a header may claim any length.
    const uint32_t nameLength = LoadU32LE(&fixed[OverrideHeader::kNameLengthOffset]);
    if (::fseeko(file, static_cast<off_t>(nameLength), SEEK_CUR) != 0)
        return kReadHeaderShort;
    uint8_t size[4];
    if (!ReadExactly(file, size, sizeof size))
        return kReadHeaderShort;
    payloadSize = LoadU32LE(size);
    return kReadHeaderOk;
}

int32_t CGameArchive::BeginBuild(std::string_view outputPath, std::string_view storedPath)
{
    m_storedPath = std::string(storedPath.empty() ? outputPath : storedPath);
    m_slots = std::make_unique<PatchSlot[]>(kSlotTableSize);
    m_slotCount = 0;
    m_buildBegun = 1;
    m_outputPath = std::string(outputPath);
    m_failedSource.clear();
    return 1;
}

int32_t CGameArchive::AddFile(std::string_view path)
{
    if (!m_buildBegun)
        return kAddNotBegun;
    if (m_slotCount + 1 >= kSlotTableSize)
        return kAddFull;

    PatchSlot& slot = m_slots[static_cast<size_t>(m_slotCount)];
    // Only override files are read. Any other path takes its slot but leaves
    // it without a source, and WriteArchive leaves such a slot out.
    if (path.find(".EXP") == std::string_view::npos && path.find(".GFX") == std::string_view::npos) {
        ++m_slotCount;
        return kAddOk;
    }

    FileHandle file = CFileSystem::OpenForReading(path);
    if (!file)
        return kAddCannotOpen;

    uint8_t fixed[OverrideHeader::kNameOffset];
    if (!ReadExactly(file.get(), fixed, sizeof fixed))
        return kAddMalformed;
    const uint32_t nameLength = LoadU32LE(&fixed[OverrideHeader::kNameLengthOffset]);
    if (nameLength == 0 || nameLength > OverrideHeader::kMaxNameLength)
        return kAddMalformed;

    ArchiveEntry entry;
    uint8_t size[4];
    if (!ReadExactly(file.get(), &entry.bytes[ArchiveEntry::kNameOffset], nameLength) ||
        !ReadExactly(file.get(), size, sizeof size))
        return kAddMalformed;
    // A zero inside the name would cut the entry name short in the patch.
    if (std::memchr(&entry.bytes[ArchiveEntry::kNameOffset], 0, nameLength))
        return kAddMalformed;
    const uint32_t payloadSize = LoadU32LE(size);
    const uint32_t payloadOffset = OverrideHeader::kFixedSize + nameLength;
    const int64_t fileSize = CFileSystem::GetFileSize(file.get());
    if (fileSize < 0 || !RangeFits(payloadOffset, payloadSize, static_cast<uint64_t>(fileSize)))
        return kAddMalformed;
    entry.SetDataSize(payloadSize);

    slot.entry = entry;
    slot.sourcePath = std::string(path);
    slot.sourceOffset = payloadOffset;
    ++m_slotCount;
    return kAddOk;
}

int32_t CGameArchive::WriteArchive()
{
    m_failedSource.clear();
    if (!m_buildBegun)
        return kWriteCannotCreate;

    int32_t written = 0;
    for (int32_t i = 0; i < m_slotCount; ++i)
        if (!m_slots[static_cast<size_t>(i)].sourcePath.empty())
            ++written;

    ArchiveHeader header;
    const size_t pathLength = std::min(m_storedPath.size(), ArchiveHeader::kPathSize - 1);
    std::memcpy(&header.bytes[ArchiveHeader::kPathOffset], m_storedPath.data(), pathLength);
    std::memcpy(&header.bytes[ArchiveHeader::kPrefixOffset], ArchiveHeader::kPrefix,
                std::strlen(ArchiveHeader::kPrefix));
    StoreU32LE(&header.bytes[ArchiveHeader::kCountOffset], static_cast<uint32_t>(written));
    StoreU32LE(&header.bytes[ArchiveHeader::kCountCheckOffset], static_cast<uint32_t>(written));
    StoreU32LE(&header.bytes[ArchiveHeader::kMarkerOffset], ArchiveHeader::kMarker);
    StoreU32LE(&header.bytes[ArchiveHeader::kVersionOffset], static_cast<uint32_t>(ArchiveHeader::kVersion));

    // The patch is written beside its target and replaces it only when
    // complete: the game would load a broken patch that stood in its place.
    CReplacingFile out;
    if (!out.Begin(m_outputPath, m_outputPath + kPartialSuffix))
        return kWriteCannotCreate;
    if (!WriteAll(out.Stream(), header.bytes.data(), header.bytes.size()))
        return kWriteFailed;

    uint64_t position = ArchiveHeader::kSize;
    uint8_t block[64 * 1024];
    for (int32_t i = 0; i < m_slotCount; ++i) {
        PatchSlot& slot = m_slots[static_cast<size_t>(i)];
        if (slot.sourcePath.empty())
            continue;
        const uint32_t size = slot.entry.DataSize();
        if (position > 0xFFFFFFFFu)
            return kWriteFailed; // offsets beyond 4 GiB do not fit the directory

        // The payload is copied a block at a time, so that what a header
        // claims never decides an allocation.
        FileHandle source = CFileSystem::OpenForReading(slot.sourcePath);
        if (!source || ::fseeko(source.get(), slot.sourceOffset, SEEK_SET) != 0) {
            m_failedSource = slot.sourcePath;
            return kWriteSourceUnreadable;
        }
        slot.entry.SetDataOffset(static_cast<uint32_t>(position));
        for (uint32_t left = size; left > 0;) {
            const size_t n = std::min<size_t>(left, sizeof block);
            if (!ReadExactly(source.get(), block, n)) {
                m_failedSource = slot.sourcePath;
                return kWriteSourceUnreadable;
            }
            if (!WriteAll(out.Stream(), block, n))
                return kWriteFailed;
            left -= static_cast<uint32_t>(n);
        }
        position += size;
    }

    for (int32_t i = 0; i < m_slotCount; ++i) {
        const PatchSlot& slot = m_slots[static_cast<size_t>(i)];
        if (!slot.sourcePath.empty() && !WriteAll(out.Stream(), slot.entry.bytes.data(), ArchiveEntry::kSize))
            return kWriteFailed;
    }
    return out.Commit() ? kWriteOk : kWriteFailed;
}
