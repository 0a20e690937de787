// The block reader through which LoadTga takes the pixel bytes of
// true-colour TGA files, 5000 bytes at a time.
#include "TgaBlockReader.h"

#include <cstring>
#include <new>

namespace {

CTgaBlockReader g_tgaBlockReader;

} // namespace

bool CTgaBlockReader::Begin()
{
    m_block.reset(new (std::nothrow) uint8_t[kBlockSize]);
    m_cursor = m_block.get();
    m_count = -1;
    m_delivered = 0;
    m_endOfFile = false;
    return m_block != nullptr;
}

void CTgaBlockReader::End()
{
    m_block.reset();
    m_cursor = nullptr;
    m_count = -1;
    m_delivered = 0;
    m_endOfFile = false;
}

void CTgaBlockReader::NextBlock(FILE* file)
{
    // Once a block came up short the file has no more to give; later blocks
    // are all zeros, whatever the file does meanwhile.
    const size_t got = m_endOfFile ? 0 : std::fread(m_block.get(), 1, kBlockSize, file);
    if (got < static_cast<size_t>(kBlockSize)) {
        std::memset(m_block.get() + got, 0, kBlockSize - got);
        m_endOfFile = true;
    }
    m_delivered = static_cast<int32_t>(got);
    m_cursor = m_block.get();
    m_count = 0;
}

CTgaBlockReader& TgaBlockReader()
{
    return g_tgaBlockReader;
}
