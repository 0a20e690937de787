// The digest that names a game archive in a catalogue manifest (version 2
// on): a SHA-256 over the bytes the catalogue is made from, so that a
// catalogue's export and import read the archive's header, its directory and
// its portraits' entries and nothing else, however many gigabytes of other
// data the archive holds. Fed to SHA-256 in this order:
//
//   1. the header, its 532 bytes as in the file;
//   2. the directory, its count x 280 bytes as in the file (a name field
//      without a zero with its last byte read as zero, as the reader cuts
//      the name);
//   3. each portrait entry, once, in entry-index order: the number of its
//      bytes read (4 bytes, little-endian), then those bytes. The portrait
//      entries are the LARGE, MEDIUM and SMALL entries of the catalogue's
//      portraits; an entry's bytes are read as the editor reads an image,
//      as far as the file holds them and at most COverrideFile::kMaxBytes.
//
// So a change to any portrait's image, to any entry's name, place or size,
// or to the header changes the digest; a change inside another entry's data
// does not.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <string>

class CGameArchive;
class CSha256Stream;
class PortraitRecord;

class CArchiveDigest {
public:
    CArchiveDigest();
    ~CArchiveDigest();
    CArchiveDigest(const CArchiveDigest&) = delete;
    CArchiveDigest& operator=(const CArchiveDigest&) = delete;

    // The digest of the open archive, whose portraits are `records`, as
    // lower-case hex; false when nothing is open, a portrait entry cannot be
    // read or the digest cannot be made. The digest of the header and the
    // directory is kept, as far as it goes, for as long as the archive stays
    // open (CGameArchive::GetOpenSerial): those bytes were read once, at its
    // opening, and a directory of 50,000 entries is 14 MB. The portrait
    // entries are read each time. Safe to call from several threads.
    bool Digest(const CGameArchive& archive, std::span<const PortraitRecord* const> records, std::string& sha256);

private:
    std::mutex m_mutex;
    uint64_t m_openSerial = 0;              // of the archive whose front is kept
    std::unique_ptr<CSha256Stream> m_front; // its header and directory, added
};
