// Feeds arbitrary bytes to the GFX image reader. Whatever the header and
// frame table claim, every surface must hold the pixels its size says, and a
// palette frame's display surface must have the size of its index buffer,
// and all frames together stay within the pixels one image may hold.
#include <cstdint>

#include "PortraitImage.h"
#include "CheckedSize.h"
#include "MessageBox.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const MessageBoxHandler quiet = SetMessageBoxHandler([](const std::string&, const std::string&) {});
    CPortraitImage image;
    image.ReadImage(data, size);
    const bool palette = image.Header().BitDepth() == 8;
    // Images of any other depth have no frames, whatever their frame count.
    const bool framed = palette || image.Header().BitDepth() == 16;
    uint64_t held = 0;
    for (int32_t i = 0; framed && i < image.Header().FrameCount(); ++i) {
        const CRasterSurface* frame = image.GetFrameSurface(i);
        const CRasterSurface* display = image.GetDisplaySurface(i);
        if (!frame || !display)
            __builtin_trap();
        const size_t pixels = static_cast<size_t>(frame->m_width) * static_cast<size_t>(frame->m_height);
        if (!frame->m_pBits || pixels == 0)
            continue;
        // All frames together stay within what one image may hold.
        held += pixels;
        if (held > kMaxImagePixels)
            __builtin_trap();
        volatile uint8_t last = frame->m_pBits[pixels * static_cast<size_t>(frame->m_depth) / 8 - 1];
        (void)last;
        if (!palette || !display->m_pBits)
            continue;
        if (display->m_width != frame->m_width || display->m_height != frame->m_height)
            __builtin_trap();
        volatile uint8_t lastShown = display->m_pBits[pixels * 4 - 1];
        (void)lastShown;
    }
    return 0;
}
