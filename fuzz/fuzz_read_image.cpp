// Feeds arbitrary bytes to the GFX image reader. Whatever the header and
// frame table claim, every surface holds the pixels its size says, a palette
// frame's display surface has the size of its index buffer, and all frames
// together stay within the pixels one image may hold.
#include <cstdint>

#include "PortraitImage.h"
#include "CheckedSize.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CPortraitImage image;
    image.SetMessageHandler([](const std::string&, const std::string&) {});
    image.ReadImage(data, size);
    uint64_t held = 0;
    // Images of a depth other than 8 and 16 have no frames, whatever their frame count.
    const uint8_t depth = image.Header().BitDepth();
    for (int32_t i = 0; (depth == 8 || depth == 16) && i < image.Header().FrameCount(); ++i) {
        const CRasterSurface* frame = image.GetFrameSurface(i);
        const CRasterSurface* shown = image.GetDisplaySurface(i);
        if (!frame || !shown)
            __builtin_trap();
        const size_t pixels = static_cast<size_t>(frame->m_width) * static_cast<size_t>(frame->m_height);
        if (!frame->m_pBits || pixels == 0)
            continue;
        held += pixels;
        volatile uint8_t last = frame->m_pBits[pixels * static_cast<size_t>(frame->m_depth) / 8 - 1];
        if (held > kMaxImagePixels || (depth == 8 && shown->m_pBits &&
                                       (shown->m_width != frame->m_width || shown->m_height != frame->m_height)))
            __builtin_trap();
        if (depth == 8 && shown->m_pBits)
            last = shown->m_pBits[pixels * 4 - 1];
        (void)last;
    }
    return 0;
}
