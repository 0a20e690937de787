#include "SharedPalette.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include <libimagequant.h>

namespace {

template <class T, void (*Destroy)(T*)>
struct Deleter {
    void operator()(T* p) const
    {
        if (p)
            Destroy(p);
    }
};
using Attr = std::unique_ptr<liq_attr, Deleter<liq_attr, liq_attr_destroy>>;
using Histogram = std::unique_ptr<liq_histogram, Deleter<liq_histogram, liq_histogram_destroy>>;
using Image = std::unique_ptr<liq_image, Deleter<liq_image, liq_image_destroy>>;
using Result = std::unique_ptr<liq_result, Deleter<liq_result, liq_result_destroy>>;

} // namespace

bool MakeSharedPalette(const std::vector<PaletteFrame>& frames, uint8_t* palette)
{
    const Attr attr(liq_attr_create());
    const Histogram histogram(attr ? liq_histogram_create(attr.get()) : nullptr);
    if (!histogram || liq_set_max_colors(attr.get(), 256) != LIQ_OK || liq_set_speed(attr.get(), 3) != LIQ_OK)
        return false;
    bool any = false;
    for (const PaletteFrame& frame : frames) {
        const size_t pixels = static_cast<size_t>(frame.width) * static_cast<size_t>(frame.height);
        if (!frame.rgb || frame.width <= 0 || frame.height <= 0 || frame.rgb->size() != pixels * 3)
            continue;
        std::vector<uint8_t> rgba(pixels * 4, 255);
        for (size_t p = 0; p < pixels; ++p)
            std::memcpy(&rgba[p * 4], &(*frame.rgb)[p * 3], 3);
        // The histogram keeps what it needs of the image; the pixels may go.
        const Image image(liq_image_create_rgba(attr.get(), rgba.data(), frame.width, frame.height, 0));
        if (!image || liq_histogram_add_image(histogram.get(), attr.get(), image.get()) != LIQ_OK)
            return false;
        any = true;
    }
    const liq_color kept{palette[2], palette[1], palette[0], 255};
    if (!any || liq_histogram_add_fixed_color(histogram.get(), kept, 0) != LIQ_OK)
        return false;
    liq_result* quantized = nullptr;
    if (liq_histogram_quantize(histogram.get(), attr.get(), &quantized) != LIQ_OK)
        return false;
    const Result result(quantized);
    const liq_palette* made = liq_get_palette(result.get());
    if (!made || made->count == 0 || made->count > 256)
        return false;
    // The kept colour goes to entry 0, the others follow in the order made.
    uint8_t out[256 * 4] = {};
    std::memcpy(out, palette, 3);
    size_t next = 1;
    bool keptSeen = false;
    for (unsigned k = 0; k < made->count && next < 256; ++k) {
        const liq_color& c = made->entries[k];
        if (!keptSeen && c.r == kept.r && c.g == kept.g && c.b == kept.b) {
            keptSeen = true;
            continue;
        }
        out[next * 4] = c.b;
        out[next * 4 + 1] = c.g;
        out[next * 4 + 2] = c.r;
        ++next;
    }
    std::memcpy(palette, out, sizeof out);
    return true;
}
