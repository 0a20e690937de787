#include "TgaBytes.h"

Bytes MakeTgaHeader(const TgaLayout& layout)
{
    Bytes h(18, 0);
    h[0] = static_cast<uint8_t>(layout.id.size());
    h[1] = layout.colourMapType;
    h[2] = layout.imageType;
    h[3] = static_cast<uint8_t>(layout.colourMapFirst);
    h[4] = static_cast<uint8_t>(layout.colourMapFirst >> 8);
    h[5] = static_cast<uint8_t>(layout.colourMapLength);
    h[6] = static_cast<uint8_t>(layout.colourMapLength >> 8);
    h[7] = layout.colourMapEntrySize;
    h[12] = static_cast<uint8_t>(layout.width);
    h[13] = static_cast<uint8_t>(layout.width >> 8);
    h[14] = static_cast<uint8_t>(layout.height);
    h[15] = static_cast<uint8_t>(layout.height >> 8);
    h[16] = layout.depth;
    h[17] = layout.topRowFirst ? 0x20 : 0x00;
    return h;
}

Bytes MakeTga(const TgaLayout& layout, const Bytes& data)
{
    return Join({MakeTgaHeader(layout), layout.id, layout.colourMap, data});
}

Bytes EncodePixel(const Bgra& pixel, int depth)
{
    switch (depth) {
    case 16: {
        const unsigned v = (static_cast<unsigned>(pixel[2] >> 3) << 10) |
                           (static_cast<unsigned>(pixel[1] >> 3) << 5) | static_cast<unsigned>(pixel[0] >> 3);
        return {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8)};
    }
    case 24:
        return {pixel[0], pixel[1], pixel[2]};
    default:
        return {pixel[0], pixel[1], pixel[2], pixel[3]};
    }
}

Bgra Expected(const Bgra& pixel, int depth)
{
    switch (depth) {
    case 16:
        return {static_cast<uint8_t>(pixel[0] & 0xF8), static_cast<uint8_t>(pixel[1] & 0xF8),
                static_cast<uint8_t>(pixel[2] & 0xF8), 0};
    case 24:
        return {pixel[0], pixel[1], pixel[2], 0};
    default:
        return pixel;
    }
}

Bytes RawRows(const std::vector<std::vector<Bgra>>& rows, int depth)
{
    Bytes out;
    for (const auto& row : rows)
        for (const Bgra& p : row) {
            const Bytes value = EncodePixel(p, depth);
            out.insert(out.end(), value.begin(), value.end());
        }
    return out;
}

Bytes RunPacket(int count, const Bgra& pixel, int depth)
{
    return Join({Bytes{static_cast<uint8_t>(0x80 | (count - 1))}, EncodePixel(pixel, depth)});
}

Bytes LiteralPacket(const std::vector<Bgra>& pixels, int depth)
{
    Bytes out{static_cast<uint8_t>(pixels.size() - 1)};
    for (const Bgra& p : pixels) {
        const Bytes value = EncodePixel(p, depth);
        out.insert(out.end(), value.begin(), value.end());
    }
    return out;
}

Bytes Join(std::initializer_list<Bytes> pieces)
{
    Bytes out;
    for (const Bytes& piece : pieces)
        out.insert(out.end(), piece.begin(), piece.end());
    return out;
}

Bytes TgaTestPalette(uint8_t fourth)
{
    Bytes p(1024);
    for (int i = 0; i < 256; ++i) {
        p[i * 4 + 0] = static_cast<uint8_t>(i);
        p[i * 4 + 1] = static_cast<uint8_t>(255 - i);
        p[i * 4 + 2] = static_cast<uint8_t>(i ^ 0x5A);
        p[i * 4 + 3] = fourth;
    }
    return p;
}

Bytes TgaTestColourMap()
{
    const Bytes p = TgaTestPalette();
    Bytes map(768);
    for (int i = 0; i < 256; ++i)
        for (int c = 0; c < 3; ++c)
            map[i * 3 + c] = p[i * 4 + c];
    return map;
}
