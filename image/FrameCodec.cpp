// Run-length code of palette frames: the two decoders that every load runs on
// every frame, and the encoder that a save runs on every replaced frame.
//
// Both decoders walk the runs through one template, so that the colour decode
// stops at exactly the run where the index decode stops and the two pictures
// of a frame never disagree, whatever bytes the file holds.
#include "FrameCodec.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <string>

#include "MessageBoxHandler.h"

// Positions are kept as plain size_t offsets without overflow tests: rows of
// fewer than 2^32 pixels times fewer than 2^31 rows, plus fewer than 2^31 pad
// skips of fewer than 2^31 pixels, stay below 2^64.
static_assert(sizeof(size_t) >= sizeof(uint64_t), "frame positions need a 64-bit size_t");

namespace {

constexpr uint8_t kRowEnd = 0x00;
constexpr uint8_t kZeroRunBase = 0x80;
constexpr size_t kMaxRunLength = 127;
constexpr uint8_t kUnused = 0; // the fourth byte of every decoded pixel

// The destination's size in pixels, (width + pad) x height as the caller
// allocated it. A negative row width leaves no room, so every run that
// writes is refused instead of wrapping round to a huge limit.
size_t DestinationPixels(int32_t width, int32_t height, int32_t pad)
{
    const int64_t rowPixels = static_cast<int64_t>(width) + pad;
    if (rowPixels <= 0 || height <= 0)
        return 0;
    return static_cast<size_t>(rowPixels) * static_cast<size_t>(height);
}

// Walks the runs of a frame and hands each one to the writer. The writer
// decides how an overrun is reported; the walk stops at the first run that
// the writer refuses, at the last row end, or where the source runs out.
template <typename Writer>
void DecodeRuns(Writer& writer, const uint8_t* source, size_t sourceSize, int32_t width, int32_t height,
                int32_t pad)
{
    if (height < 1)
        return;
    const size_t limit = DestinationPixels(width, height, pad);
    // A negative pad would step back over pixels already written; the
    // callers' pad is never negative, so it is simply not taken.
    const size_t skip = pad > 0 ? static_cast<size_t>(pad) : 0;
    size_t s = 0;
    size_t d = 0;
    for (int32_t row = 0; row < height; ++row) {
        for (;;) {
            if (s >= sourceSize)
                return writer.Settle(d);
            const uint8_t c = source[s++];
            if (c == kRowEnd)
                break;
            if (c >= kZeroRunBase) {
                const size_t k = c - kZeroRunBase;
                if (writer.Overruns(d + k, limit))
                    return writer.Settle(d);
                // 0x80 writes nothing; skipping it also keeps the writers
                // away from a null destination of size 0.
                if (k != 0)
                    writer.Zeros(d, k);
                d += k;
            } else {
                // The test takes the run's full length, as a run that the
                // source does not cut short would need it.
                if (writer.Overruns(d + c, limit))
                    return writer.Settle(d);
                const size_t n = std::min<size_t>(c, sourceSize - s);
                writer.Literal(d, source + s, n, sourceSize - s);
                if (n < c)
                    return writer.Settle(d + n);
                s += n;
                d += n;
            }
        }
        // No test here: the next run's test covers the pad as well.
        writer.Settle(d);
        d += skip;
    }
}

// Copies the first and the last word of a run of one to two words, which
// between them cover all of it.
template <typename Word>
inline void CopyEnds(uint8_t* to, const uint8_t* from, size_t count)
{
    Word head;
    Word tail;
    std::memcpy(&head, from, sizeof head);
    std::memcpy(&tail, from + count - sizeof tail, sizeof tail);
    std::memcpy(to, &head, sizeof head);
    std::memcpy(to + count - sizeof tail, &tail, sizeof tail);
}

// Copies a run of 1 to 127 bytes with a few fixed-size moves that overlap
// inside the run instead of one variable-size memcpy: compilers turn the
// latter into a library call or a string instruction whose start-up costs
// more than these short runs take. No byte outside [0, count) of either
// side is touched, so the pad and anything past a run stay as they were.
inline void CopyRun(uint8_t* to, const uint8_t* from, size_t count)
{
    if (count >= 16) {
        uint8_t block[16];
        for (size_t i = 0; i + 16 < count; i += 16) {
            std::memcpy(block, from + i, 16);
            std::memcpy(to + i, block, 16);
        }
        std::memcpy(block, from + count - 16, 16);
        std::memcpy(to + count - 16, block, 16);
    } else if (count >= 8) {
        CopyEnds<uint64_t>(to, from, count);
    } else if (count >= 4) {
        CopyEnds<uint32_t>(to, from, count);
    } else if (count != 0) {
        to[0] = from[0];
        to[count / 2] = from[count / 2];
        to[count - 1] = from[count - 1];
    }
}

// The zero-run counterpart of CopyRun, for 1 to 127 bytes.
inline void ClearRun(uint8_t* to, size_t count)
{
    static constexpr uint8_t kZeros[16] = {};
    if (count >= 16) {
        for (size_t i = 0; i + 16 < count; i += 16)
            std::memcpy(to + i, kZeros, 16);
        std::memcpy(to + count - 16, kZeros, 16);
    } else if (count >= 8) {
        std::memcpy(to, kZeros, 8);
        std::memcpy(to + count - 8, kZeros, 8);
    } else if (count >= 4) {
        std::memcpy(to, kZeros, 4);
        std::memcpy(to + count - 4, kZeros, 4);
    } else if (count != 0) {
        to[0] = 0;
        to[count / 2] = 0;
        to[count - 1] = 0;
    }
}

// Writes runs of indices with fixed-width moves where the buffer has room
// for them, so that the length of a run, random in a frame's background and
// its islands, costs no mispredicted branch: a zero run always clears a whole
// run's worth (kMaxRunLength + 1 bytes), and a short literal run copies
// kShortCopy bytes. Bytes past a run that such a move writes lie ahead of the
// decode, which writes forward only: the next run writes over them (a zero
// run clears more than any short copy spills), and at a row's end, or where
// the decode stops, Settle clears what a copy spilled. The buffer holds
// zeros wherever the decode has not written yet, as the callers allocate it,
// so that what lies past the last run is zeros as before.
class IndexWriter {
public:
    IndexWriter(uint8_t* dest, size_t limit, const MessageBoxHandler& onOverrun)
        : m_dest(dest), m_limit(limit), m_onOverrun(onOverrun)
    {
    }

    // The limit test is made here so that only an overrun pays for a call.
    bool Overruns(size_t runEnd, size_t limit) const
    {
        return runEnd > limit && CheckOverrun(runEnd, limit, m_onOverrun) != 0;
    }
    void Zeros(size_t at, size_t count) const
    {
        static constexpr uint8_t kZeros[kMaxRunLength + 1] = {};
        if (at + sizeof kZeros <= m_limit)
            std::memcpy(m_dest + at, kZeros, sizeof kZeros);
        else
            ClearRun(m_dest + at, count);
    }
    void Literal(size_t at, const uint8_t* indices, size_t count, size_t sourceRoom) const
    {
        if (count <= kShortCopy && sourceRoom >= kShortCopy && at + kShortCopy <= m_limit)
            std::memcpy(m_dest + at, indices, kShortCopy);
        else
            CopyRun(m_dest + at, indices, count);
    }
    // Clears what a short copy may have spilled past position at.
    void Settle(size_t at) const
    {
        static constexpr uint8_t kZeros[kShortCopy] = {};
        if (at + kShortCopy <= m_limit)
            std::memcpy(m_dest + at, kZeros, kShortCopy);
        else if (at < m_limit)
            ClearRun(m_dest + at, m_limit - at);
    }

private:
    static constexpr size_t kShortCopy = 32;
    uint8_t* m_dest;
    size_t m_limit;
    const MessageBoxHandler& m_onOverrun;
};

class ColourWriter {
public:
    // Each palette colour becomes the four bytes of its pixel once, so that
    // a pixel costs one table load and one store.
    ColourWriter(uint8_t* dest, const uint8_t* palette) : m_dest(dest)
    {
        for (size_t i = 0; i < 256; ++i) {
            const uint8_t pixel[4] = {palette[4 * i], palette[4 * i + 1], palette[4 * i + 2], kUnused};
            std::memcpy(&m_pixels[i], pixel, sizeof pixel);
        }
    }

    // The same limit as the index decoder's, but silent: that one has
    // already told the user about this frame.
    static bool Overruns(size_t runEnd, size_t limit) { return runEnd > limit; }
    // It writes each pixel of a run exactly, so nothing spills.
    static void Settle(size_t) {}

    void Zeros(size_t at, size_t count) const
    {
        uint8_t* out = m_dest + 4 * at;
        const uint32_t pixel = m_pixels[0];
        for (size_t i = 0; i < count; ++i)
            std::memcpy(out + 4 * i, &pixel, 4);
    }

    void Literal(size_t at, const uint8_t* indices, size_t count, size_t /*sourceRoom*/) const
    {
        uint8_t* out = m_dest + 4 * at;
        for (size_t i = 0; i < count; ++i)
            std::memcpy(out + 4 * i, &m_pixels[indices[i]], 4);
    }

private:
    uint8_t* m_dest;
    uint32_t m_pixels[256];
};

} // namespace

int CheckOverrun(size_t runEnd, size_t size, const MessageBoxHandler& onOverrun)
{
    if (runEnd <= size)
        return 0;
    static const std::string kText = "Error!";
    static const std::string kCaption = "Memory Overwrite !";
    if (onOverrun)
        onOverrun(kText, kCaption);
    return 1;
}

void DecodeFrameIndices(uint8_t* dest, const uint8_t* source, size_t sourceSize, int32_t width,
                        int32_t height, int32_t pad, const MessageBoxHandler& onOverrun)
{
    IndexWriter writer(dest, DestinationPixels(width, height, pad), onOverrun);
    DecodeRuns(writer, source, sourceSize, width, height, pad);
}

void DecodeFrameColours(uint8_t* dest, const uint8_t* source, size_t sourceSize, int32_t width,
                        int32_t height, int32_t pad, const uint8_t* palette)
{
    if (height < 1)
        return;
    ColourWriter writer(dest, palette);
    DecodeRuns(writer, source, sourceSize, width, height, pad);
}

size_t MaxEncodedSize(int32_t width, int32_t height)
{
    if (height < 1)
        return 0;
    const size_t w = width > 0 ? static_cast<size_t>(width) : 0;
    return static_cast<size_t>(height) * (3 * (w + 1) / 2);
}

int32_t EncodeFrame(const uint8_t* source, int32_t width, int32_t height, uint8_t* dest, size_t destSize)
{
    if (height < 1)
        return 0;
    // The count is returned as an int32_t, so a frame that would need more
    // bytes than that can say is treated like a destination that is too small.
    const size_t room = std::min<size_t>(destSize, static_cast<size_t>(std::numeric_limits<int32_t>::max()));
    const size_t w = width > 0 ? static_cast<size_t>(width) : 0;
    size_t o = 0;
    for (size_t row = 0; row < static_cast<size_t>(height); ++row) {
        const uint8_t* pixels = w != 0 ? source + row * w : nullptr;
        size_t x = 0;
        while (x < w) {
            // A run never reaches past its row, nor past 127 pixels.
            const size_t left = std::min(w - x, kMaxRunLength);
            const uint8_t* run = pixels + x;
            size_t n = 1;
            if (run[0] == 0) {
                // Background spans most of a portrait, so zeros are counted
                // eight at a time first.
                for (uint64_t word; n + 8 <= left; n += 8) {
                    std::memcpy(&word, run + n, 8);
                    if (word != 0)
                        break;
                }
                while (n < left && run[n] == 0)
                    ++n;
                if (o >= room)
                    return -1;
                dest[o++] = static_cast<uint8_t>(kZeroRunBase + n);
            } else {
                const void* zero = std::memchr(run, 0, left);
                n = zero ? static_cast<size_t>(static_cast<const uint8_t*>(zero) - run) : left;
                if (room - o < n + 1)
                    return -1;
                dest[o] = static_cast<uint8_t>(n);
                CopyRun(dest + o + 1, run, n);
                o += n + 1;
            }
            x += n;
        }
        if (o >= room)
            return -1;
        dest[o++] = kRowEnd;
    }
    return static_cast<int32_t>(o);
}
