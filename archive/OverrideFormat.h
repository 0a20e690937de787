// Reading and writing override headers (laid out in OverrideHeader.h): bytes
// to values and back, with no file in between. CGameArchive reads the bytes
// from the file and writes them to it.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "OverrideHeader.h"

// Parses the header at the start of `bytes`, name included. Whatever follows
// the header is left alone. Bytes that end inside the header give kShort,
// with nameLength and headerSize filled in once the length field was there,
// so that a reader knows how much more to fetch.
OverrideHeader ParseOverrideHeader(std::span<const uint8_t> bytes);

// Parses a header of which `bytes` holds all but the name: the 15 bytes in
// front of it and the 4 of the payload size. For a reader that skips a name
// too long to be kept instead of reading it; entryName stays empty.
OverrideHeader ParseOverrideHeaderSkippingName(std::span<const uint8_t> bytes);

// Whether the bytes begin with the magic "KORV-EXPORT". Reading a header
// does not ask; the check of whether an override file may be used does.
bool HasOverrideMagic(std::span<const uint8_t> bytes);

// The 19 + L bytes of a header naming entryName (at most 0xFFFFFFFF bytes)
// in front of a payload of payloadSize bytes.
std::vector<uint8_t> SerializeOverrideHeader(std::string_view entryName, uint32_t payloadSize);
