// A bounds-checked little-endian reader over a byte span. A read past the end
// yields zeros and sets a sticky failure flag, so a structure is read field by
// field and checked once with Ok().
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "LittleEndian.h"

class CByteReader {
public:
    CByteReader(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}

    bool Ok() const { return m_ok; }
    size_t Position() const { return m_pos; }
    size_t Remaining() const { return m_size - m_pos; }

    uint8_t U8()
    {
        const uint8_t* p = Take(1);
        return p ? p[0] : 0;
    }
    uint16_t U16()
    {
        const uint8_t* p = Take(2);
        return p ? LoadU16LE(p) : 0;
    }
    int16_t I16() { return static_cast<int16_t>(U16()); }
    uint32_t U32()
    {
        const uint8_t* p = Take(4);
        return p ? LoadU32LE(p) : 0;
    }
    int32_t I32() { return static_cast<int32_t>(U32()); }

    // Copies n bytes to out; on a short read out is zero-filled.
    void Bytes(void* out, size_t n)
    {
        const uint8_t* p = Take(n);
        if (p)
            std::memcpy(out, p, n);
        else if (n)
            std::memset(out, 0, n);
    }

    void Skip(size_t n) { Take(n); }

    // Moves to an absolute position; a position past the end fails.
    void Seek(size_t pos)
    {
        if (pos > m_size) {
            m_ok = false;
            m_pos = m_size;
        } else {
            m_pos = pos;
        }
    }

private:
    const uint8_t* Take(size_t n)
    {
        if (!m_ok || n > m_size - m_pos) {
            m_ok = false;
            m_pos = m_size;
            return nullptr;
        }
        const uint8_t* p = m_data + m_pos;
        m_pos += n;
        return p;
    }

    const uint8_t* m_data;
    size_t m_size;
    size_t m_pos = 0;
    bool m_ok = true;
};
