// SHA-256 digests as lower-case hex, through libcrypto (which only this
// library sees).
#pragma once

#include <cstdint>
#include <span>
#include <string>

// The digest of the bytes; empty when the digest could not be made.
std::string Sha256Hex(std::span<const uint8_t> bytes);
// The digest and size of a file, read 64 KiB at a time; false when the file
// cannot be opened or read.
bool Sha256OfFile(const std::string& path, std::string& hex, uint64_t& size);
