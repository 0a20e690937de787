#include "OverrideFormat.h"

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

std::vector<uint8_t> SerializeOverrideHeader(std::string_view entryName, uint32_t payloadSize)
{
    const size_t nameLength = entryName.size();
    std::vector<uint8_t> bytes(OverrideHeader::HeaderSize(nameLength));
    std::memcpy(bytes.data(), OverrideHeader::kMagic, OverrideHeader::kMagicSize);
    StoreU32LE(&bytes[OverrideHeader::kNameLengthOffset], static_cast<uint32_t>(nameLength));
    if (nameLength)
        std::memcpy(&bytes[OverrideHeader::kNameOffset], entryName.data(), nameLength);
    StoreU32LE(&bytes[OverrideHeader::PayloadSizeOffset(nameLength)], payloadSize);
    return bytes;
}
