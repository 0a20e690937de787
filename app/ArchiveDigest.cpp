#include "ArchiveDigest.h"

#include <algorithm>
#include <array>
#include <vector>

#include "GameArchive.h"
#include "LittleEndian.h"
#include "OverrideFile.h"
#include "PortraitRecord.h"
#include "Sha256Stream.h"

CArchiveDigest::CArchiveDigest() = default;

CArchiveDigest::~CArchiveDigest() = default;

bool CArchiveDigest::Digest(const CGameArchive& archive, std::span<const PortraitRecord* const> records,
                            std::string& sha256)
{
    sha256.clear();
    const uint64_t serial = archive.GetOpenSerial();
    if (serial == 0)
        return false;
    std::vector<int32_t> entries;
    for (const PortraitRecord* record : records)
        for (const int32_t index : record->entryIndex)
            if (index >= 0 && index < archive.GetEntryCount())
                entries.push_back(index);
    std::sort(entries.begin(), entries.end());
    entries.erase(std::unique(entries.begin(), entries.end()), entries.end());

    std::unique_ptr<CSha256Stream> digest;
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_front || m_openSerial != serial) {
            auto front = std::make_unique<CSha256Stream>();
            if (!front->Add(archive.GetHeaderBytes()) || !front->Add(archive.GetDirectoryBytes()))
                return false;
            m_front = std::move(front);
            m_openSerial = serial;
        }
        digest = std::make_unique<CSha256Stream>(*m_front);
    }
    // One entry is held at a time, in one buffer: the reader never holds
    // more than the limit, and a portrait's image is tens of kilobytes.
    static_assert(COverrideFile::kMaxBytes <= UINT32_MAX, "an entry's length must fit its four bytes");
    std::vector<uint8_t> bytes;
    for (const int32_t index : entries) {
        if (!archive.ReadEntry(index, bytes, COverrideFile::kMaxBytes))
            return false;
        std::array<uint8_t, 4> length;
        StoreU32LE(length.data(), static_cast<uint32_t>(bytes.size()));
        if (!digest->Add(length) || !digest->Add(bytes))
            return false;
    }
    sha256 = digest->Finish();
    return !sha256.empty();
}
