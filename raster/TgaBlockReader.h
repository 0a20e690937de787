// The block reader through which LoadTga takes the pixel bytes of true-colour
// TGA files: the file is read 5000 bytes at a time into a block buffer and
// handed out byte by byte (or, on the fast path, a span of whole pixels at a
// time) from there. There is one reader for the whole process, so only one
// LoadTga may run at a time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>

class CTgaBlockReader {
public:
    static constexpr int32_t kBlockSize = 5000;

    // Allocates the block buffer and marks that no block has been read yet,
    // so that the first byte taken starts a fresh block at the file's current
    // position. False when the buffer cannot be allocated.
    bool Begin();
    // Frees the block buffer.
    void End();

    // The next byte of the file. Past the end of the file the bytes are 0, so
    // that a file shorter than its header announces always reads the same.
    // Valid only between Begin and End.
    uint8_t ReadBufferedByte(FILE* file)
    {
        if (m_count < 0 || m_count >= kBlockSize)
            NextBlock(file);
        ++m_count;
        return *m_cursor++;
    }

    // Bytes left in the current block, which the caller may take straight
    // from Cursor() and then pass over with Advance; 0 before the first block
    // and when the block is used up, in which case ReadBufferedByte reads on.
    size_t Available() const { return m_count < 0 ? 0 : static_cast<size_t>(kBlockSize - m_count); }
    const uint8_t* Cursor() const { return m_cursor; }
    void Advance(size_t bytes)
    {
        m_cursor += bytes;
        m_count += static_cast<int32_t>(bytes);
    }

    // True once every byte from here on lies past the end of the file and so
    // reads as 0. Lets a caller stop early instead of decoding zeros.
    bool Exhausted() const { return m_count >= 0 && m_count >= m_delivered && m_endOfFile; }
    // True once a byte past the end of the file was taken: the file was cut
    // short of what was read from it.
    bool ReadPastEnd() const { return m_endOfFile && m_count > m_delivered; }

private:
    void NextBlock(FILE* file);

    std::unique_ptr<uint8_t[]> m_block;
    uint8_t* m_cursor = nullptr;
    int32_t m_count = -1;     // bytes taken from the current block; -1 before the first
    int32_t m_delivered = 0;  // bytes of the current block that came from the file
    bool m_endOfFile = false; // a block read came up short
};

// The reader that LoadTga uses.
CTgaBlockReader& TgaBlockReader();
