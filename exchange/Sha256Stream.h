// A SHA-256 digest made from bytes given a piece at a time, for data too
// large to hold at once or gathered from several places of a file.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>

class CSha256Stream {
public:
    CSha256Stream();
    ~CSha256Stream();
    // A stream that goes on from where `other` stands, with the bytes added
    // to it so far; `other` is left as it is.
    CSha256Stream(const CSha256Stream& other);
    CSha256Stream& operator=(const CSha256Stream&) = delete;

    // Adds the bytes to the digest; false, then and from then on, when the
    // digest cannot be made.
    bool Add(std::span<const uint8_t> bytes);
    // The digest of everything added, as lower-case hex; empty when it could
    // not be made. Nothing can be added after.
    std::string Finish();

private:
    struct Context; // libcrypto's, which only this library sees
    std::unique_ptr<Context> m_context;
    bool m_ok;
};
