#include "OverrideFormat.h"

#include <array>
#include <cstring>

#include "ByteReader.h"
#include "LittleEndian.h"

namespace {

OverrideHeader Parse(std::span<const uint8_t> bytes, bool nameIncluded)
{
    OverrideHeader header;
    CByteReader reader(bytes.data(), bytes.size());
    reader.Seek(OverrideHeader::kNameLengthOffset);
    const uint32_t nameLength = reader.U32();
    if (!reader.Ok())
        return header;
    header.nameLength = nameLength;
    header.headerSize = OverrideHeader::HeaderSize(nameLength);

    if (nameIncluded)
        reader.Skip(nameLength);
    const uint32_t payloadSize = reader.U32();
    if (!reader.Ok())
        return header;
    if (nameIncluded)
        header.entryName = std::string_view(reinterpret_cast<const char*>(bytes.data() + OverrideHeader::kNameOffset),
                                            nameLength);
    header.payloadSize = payloadSize;
    header.result = OverrideHeader::kOk;
    return header;
}

} // namespace

OverrideHeader ParseOverrideHeader(std::span<const uint8_t> bytes)
{
    return Parse(bytes, true);
}

OverrideHeader ParseOverrideHeaderSkippingName(std::span<const uint8_t> bytes)
{
    return Parse(bytes, false);
}

bool HasOverrideMagic(std::span<const uint8_t> bytes)
{
    return bytes.size() >= OverrideHeader::kMagicSize &&
           std::memcmp(bytes.data(), OverrideHeader::kMagic, OverrideHeader::kMagicSize) == 0;
}

std::vector<uint8_t> SerializeOverrideHeader(std::string_view entryName, uint32_t payloadSize)
{
    // The fields around the name, laid out at their offsets as in a header
    // with an empty name, and the name put in between.
    const auto nameLength = static_cast<uint32_t>(entryName.size());
    std::array<uint8_t, OverrideHeader::kFixedSize> fixed{};
    std::memcpy(fixed.data(), OverrideHeader::kMagic, OverrideHeader::kMagicSize);
    StoreU32LE(&fixed[OverrideHeader::kNameLengthOffset], nameLength);
    StoreU32LE(&fixed[OverrideHeader::PayloadSizeOffset(0)], payloadSize);

    std::vector<uint8_t> bytes(fixed.begin(), fixed.end());
    bytes.insert(bytes.begin() + OverrideHeader::kNameOffset, entryName.begin(), entryName.end());
    return bytes;
}
