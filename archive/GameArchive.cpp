#include "GameArchive.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <array>
#include <cstring>
#include <new>
#include <span>
#include <vector>

#include "ArchiveFormat.h"
#include "OverrideFormat.h"
#include "CheckedSize.h"
#include "FileSystem.h"
#include "ReplacingFile.h"

namespace {

bool ReadExactly(FILE* file, void* out, size_t n)
{
    return std::fread(out, 1, n, file) == n;
}

bool WriteAll(FILE* file, const void* data, size_t n)
{
    return CFileSystem::Write(file, data, n);
}

// Room for an override header whose name could be an entry name.
using OverrideHeaderBytes = std::array<uint8_t, OverrideHeader::kFixedSize + OverrideHeader::kMaxNameLength>;

// Reads the override header at the file's position, leaving the file at the
// payload when the header is complete. The bytes in front of the name come
// first, since they tell its length. A name longer than an entry name is
// skipped, not read: a header may claim any length. The returned entry name
// points into `bytes`.
OverrideHeader ReadOverrideHeaderFrom(FILE* file, OverrideHeaderBytes& bytes)
{
    constexpr size_t kFront = OverrideHeader::kNameOffset;
    if (!ReadExactly(file, bytes.data(), kFront))
        return {};
    const OverrideHeader front = ParseOverrideHeader(std::span(bytes.data(), kFront));
    if (front.nameLength <= OverrideHeader::kMaxNameLength) {
        const auto size = static_cast<size_t>(front.headerSize);
        if (!ReadExactly(file, bytes.data() + kFront, size - kFront))
            return {};
        return ParseOverrideHeader(std::span(bytes.data(), size));
    }
    if (!CFileSystem::Skip(file, front.nameLength) ||
        !ReadExactly(file, bytes.data() + kFront, OverrideHeader::kPayloadSizeSize))
        return {};
    return ParseOverrideHeaderSkippingName(std::span(bytes.data(), kFront + OverrideHeader::kPayloadSizeSize));
}

} // namespace

CGameArchive::CGameArchive() { Clear(); }

CGameArchive::~CGameArchive() { Clear(); }

void CGameArchive::Clear()
{
    m_count = 0;
    m_header.fill(0);
    m_directory.reset();
    m_fileSize = 0;
    m_openSerial = 0;
    m_path.clear();
}

int32_t CGameArchive::Open(std::string_view path)
{
    Clear();
    FileHandle file = CFileSystem::OpenForReading(path);
    if (!file)
        return kOpenCannotOpen;

    std::array<uint8_t, ArchiveHeader::kSize> header;
    if (!ReadExactly(file.get(), header.data(), header.size()))
        return kOpenShortFile;
    int32_t count = 0;
    const int32_t parsed = ParseArchiveHeader(header, count);
    if (parsed == kArchiveParseCountMismatch)
        return kOpenCountMismatch;
    if (parsed != kArchiveParseOk)
        return kOpenShortFile;

    // The file must hold the directory before anything is allocated for it,
    // whatever the header claims.
    const int64_t fileSize = CFileSystem::GetFileSize(file.get());
    uint64_t dirStart = 0, dirBytes = 0;
    if (fileSize < 0 || !FindArchiveDirectory(count, static_cast<uint64_t>(fileSize), dirStart, dirBytes))
        return kOpenShortFile;

    m_directory.reset(new (std::nothrow) uint8_t[dirBytes == 0 ? 1 : dirBytes]);
    if (!m_directory || !CFileSystem::Seek(file.get(), dirStart) ||
        !ReadExactly(file.get(), m_directory.get(), dirBytes)) {
        Clear();
        return kOpenShortFile;
    }
    m_count = count;
    m_header = header;
    m_fileSize = static_cast<uint64_t>(fileSize);
    static std::atomic<uint64_t> openings{0};
    m_openSerial = ++openings;
    m_path = std::string(path);
    return kOpenOk;
}

int32_t CGameArchive::GetEntryCount() const
{
    return m_directory ? m_count : 0;
}

bool CGameArchive::GetRecord(int32_t index, ArchiveRecord& record) const
{
    if (index < 0 || index >= GetEntryCount())
        return false;
    const uint8_t* bytes = m_directory.get() + static_cast<size_t>(index) * ArchiveEntry::kSize;
    return ParseDirectoryRecord(std::span(bytes, ArchiveEntry::kSize), record) == kArchiveParseOk;
}

const char* CGameArchive::GetEntryName(int32_t index) const
{
    ArchiveRecord record;
    if (!GetRecord(index, record))
        return nullptr;
    // A malformed record whose 256 name bytes hold no zero is cut after 255,
    // so that no reader runs past it. Doing this here rather than in Open
    // keeps Open a single read.
    uint8_t* name = m_directory.get() + (reinterpret_cast<const uint8_t*>(record.name.data()) - m_directory.get());
    if (name[record.name.size()] != 0)
        name[record.name.size()] = 0;
    return reinterpret_cast<const char*>(name);
}

uint32_t CGameArchive::GetEntryOffset(int32_t index) const
{
    ArchiveRecord record;
    return GetRecord(index, record) ? record.offset : 0xFFFFFFFFu;
}

uint32_t CGameArchive::GetEntrySize(int32_t index) const
{
    ArchiveRecord record;
    return GetRecord(index, record) ? record.size : 0;
}

std::span<const uint8_t> CGameArchive::GetHeaderBytes() const
{
    return m_directory ? std::span<const uint8_t>(m_header) : std::span<const uint8_t>();
}

std::span<const uint8_t> CGameArchive::GetDirectoryBytes() const
{
    const int32_t count = GetEntryCount();
    // Every name is cut as GetEntryName cuts it, so that the bytes do not
    // depend on which names were asked for. A name field that ends in a zero
    // needs no look further.
    for (int32_t i = 0; i < count; ++i) {
        uint8_t* name = m_directory.get() + static_cast<size_t>(i) * ArchiveEntry::kSize + ArchiveEntry::kNameOffset;
        if (name[ArchiveEntry::kMaxNameLength] != 0 && !std::memchr(name, 0, ArchiveEntry::kNameSize))
            name[ArchiveEntry::kMaxNameLength] = 0;
    }
    return std::span<const uint8_t>(m_directory.get(), static_cast<size_t>(count) * ArchiveEntry::kSize);
}

bool CGameArchive::ReadEntry(int32_t index, std::vector<uint8_t>& bytes, uint64_t limit) const
{
    bytes.clear();
    ArchiveRecord record;
    if (!GetRecord(index, record))
        return false;
    FileHandle file = CFileSystem::OpenForReading(m_path);
    if (!file)
        return false;
    // What the file holds from the entry's offset on, the claimed size and
    // the limit: the least of the three is read.
    const int64_t fileSize = CFileSystem::GetFileSize(file.get());
    if (fileSize < 0 || record.offset >= static_cast<uint64_t>(fileSize))
        return true;
    const uint64_t size =
        std::min({static_cast<uint64_t>(record.size), static_cast<uint64_t>(fileSize) - record.offset, limit});
    if (!CFileSystem::Seek(file.get(), record.offset))
        return true;
    try {
        bytes.resize(static_cast<size_t>(size));
    } catch (const std::bad_alloc&) {
        return false;
    }
    bytes.resize(std::fread(bytes.data(), 1, bytes.size(), file.get()));
    return true;
}

int32_t CGameArchive::WriteOverrideHeader(FILE* file, int32_t entryIndex) const
{
    const char* name = GetEntryName(entryIndex);
    const std::string_view entryName = name ? std::string_view(name) : std::string_view();
    // Provisional payload size: the entry's size in the archive. The writer
    // overwrites it once the payload is written.
    const std::vector<uint8_t> header = SerializeOverrideHeader(entryName, GetEntrySize(entryIndex));

    const int64_t start = CFileSystem::Tell(file);
    // A header that was not written in full has no size field to fill in.
    if (!WriteAll(file, header.data(), header.size()) || start < 0)
        return -1;
    return static_cast<int32_t>(start + static_cast<int64_t>(OverrideHeader::PayloadSizeOffset(entryName.size())));
}

int32_t CGameArchive::ReadOverrideHeader(FILE* file, uint32_t& payloadSize) const
{
    OverrideHeaderBytes bytes;
    const OverrideHeader header = ReadOverrideHeaderFrom(file, bytes);
    payloadSize = header.payloadSize;
    return header.result == OverrideHeader::kOk ? kReadHeaderOk : kReadHeaderShort;
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

    OverrideHeaderBytes bytes;
    const OverrideHeader header = ReadOverrideHeaderFrom(file.get(), bytes);
    if (header.result != OverrideHeader::kOk || header.nameLength == 0 ||
        header.nameLength > OverrideHeader::kMaxNameLength)
        return kAddMalformed;
    // A zero inside the name would cut the entry name short in the patch.
    if (std::memchr(header.entryName.data(), 0, header.entryName.size()))
        return kAddMalformed;
    const int64_t fileSize = CFileSystem::GetFileSize(file.get());
    if (fileSize < 0 || !RangeFits(header.headerSize, header.payloadSize, static_cast<uint64_t>(fileSize)))
        return kAddMalformed;

    slot.entryName = std::string(header.entryName);
    slot.payloadSize = header.payloadSize;
    slot.sourcePath = std::string(path);
    slot.sourceOffset = static_cast<uint32_t>(header.headerSize);
    ++m_slotCount;
    return kAddOk;
}

int32_t CGameArchive::WriteArchive()
{
    m_failedSource.clear();
    m_writeError = 0;
    if (!m_buildBegun)
        return kWriteCannotCreate;
    // The system's error number of the step that failed, with the result.
    const auto failed = [this](int32_t result, int error) {
        m_writeError = error ? error : EIO;
        return result;
    };

    int32_t written = 0;
    for (int32_t i = 0; i < m_slotCount; ++i)
        if (!m_slots[static_cast<size_t>(i)].sourcePath.empty())
            ++written;

    const auto header = SerializeArchiveHeader(m_storedPath, written);

    // The patch is written beside its target and replaces it only when
    // complete: the game would load a broken patch that stood in its place.
    CReplacingFile out;
    if (!out.Begin(m_outputPath))
        return failed(kWriteCannotCreate, out.Error());
    if (!WriteAll(out.Stream(), header.data(), header.size()))
        return failed(kWriteFailed, errno);

    uint64_t position = ArchiveHeader::kSize;
    uint8_t block[64 * 1024];
    for (int32_t i = 0; i < m_slotCount; ++i) {
        PatchSlot& slot = m_slots[static_cast<size_t>(i)];
        if (slot.sourcePath.empty())
            continue;
        const uint32_t size = slot.payloadSize;
        if (position > ArchiveEntry::kMaxDataOffset)
            return failed(kWriteFailed, EFBIG); // offsets beyond 4 GiB do not fit the directory

        // The payload is copied a block at a time, so that what a header
        // claims never decides an allocation.
        FileHandle source = CFileSystem::OpenForReading(slot.sourcePath);
        if (!source || !CFileSystem::Seek(source.get(), slot.sourceOffset)) {
            m_failedSource = slot.sourcePath;
            return kWriteSourceUnreadable;
        }
        slot.dataOffset = static_cast<uint32_t>(position);
        for (uint32_t left = size; left > 0;) {
            const size_t n = std::min<size_t>(left, sizeof block);
            if (!ReadExactly(source.get(), block, n)) {
                m_failedSource = slot.sourcePath;
                return kWriteSourceUnreadable;
            }
            if (!WriteAll(out.Stream(), block, n))
                return failed(kWriteFailed, errno);
            left -= static_cast<uint32_t>(n);
        }
        position += size;
    }

    for (int32_t i = 0; i < m_slotCount; ++i) {
        const PatchSlot& slot = m_slots[static_cast<size_t>(i)];
        if (slot.sourcePath.empty())
            continue;
        const auto record = SerializeDirectoryRecord(slot.entryName, slot.dataOffset, slot.payloadSize);
        if (!WriteAll(out.Stream(), record.data(), record.size()))
            return failed(kWriteFailed, errno);
    }
    return out.Commit() ? kWriteOk : failed(kWriteFailed, out.Error());
}
