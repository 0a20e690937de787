#include "SharedPalette.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <memory>
#include <new>

#include <libimagequant.h>

#include "CheckedSize.h"
#include "LinearLight.h"

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

// libimagequant chooses its colours in a space of its own. The colours are
// then moved to the centres, in OKLab, of the pixels nearest each of them
// (Lloyd's steps, as k-means takes them), which is where a remap in OKLab
// finds them nearest: some tenths less error than its own choice on
// photographs. The steps stop early once no colour moves.
constexpr int32_t kRefinements = 8;

struct Lab {
    float l = 0.0f, a = 0.0f, b = 0.0f;
};

// A colour of the frames and how many of their pixels have it.
struct Counted {
    Lab colour;
    float count = 0.0f;
};

// sRGB bytes to OKLab by its published matrices.
Lab ToOkLab(uint8_t red, uint8_t green, uint8_t blue)
{
    const float* linear = LinearOfSrgbByte();
    const float r = linear[red], g = linear[green], b = linear[blue];
    const float l = std::cbrt(0.4122214708f * r + 0.5363325363f * g + 0.0514459929f * b);
    const float m = std::cbrt(0.2119034982f * r + 0.6806995451f * g + 0.1073969566f * b);
    const float s = std::cbrt(0.0883024619f * r + 0.2817188376f * g + 0.6299787005f * b);
    return {0.2104542553f * l + 0.7936177850f * m - 0.0040720468f * s,
            1.9779984951f * l - 2.4285922050f * m + 0.4505937099f * s,
            0.0259040371f * l + 0.7827717662f * m - 0.8086757660f * s};
}

uint8_t EncodeSrgb(double linear)
{
    const double v = std::clamp(linear, 0.0, 1.0);
    const double s = v <= 0.0031308 ? v * 12.92 : 1.055 * std::pow(v, 1.0 / 2.4) - 0.055;
    return static_cast<uint8_t>(std::lround(s * 255.0));
}

// OKLab back to an entry's blue, green, red bytes, held within sRGB.
void FromOkLab(const Lab& c, uint8_t* entry)
{
    const double l = c.l + 0.3963377774 * c.a + 0.2158037573 * c.b;
    const double m = c.l - 0.1055613458 * c.a - 0.0638541728 * c.b;
    const double s = c.l - 0.0894841775 * c.a - 1.2914855480 * c.b;
    const double l3 = l * l * l, m3 = m * m * m, s3 = s * s * s;
    entry[2] = EncodeSrgb(4.0767416621 * l3 - 3.3077115913 * m3 + 0.2309699292 * s3);
    entry[1] = EncodeSrgb(-1.2684380046 * l3 + 2.6097574011 * m3 - 0.3413193965 * s3);
    entry[0] = EncodeSrgb(-0.0041960863 * l3 - 0.7034186147 * m3 + 1.7076127010 * s3);
}

// The frames' distinct colours with their counts, in OKLab. False when they
// hold more pixels than an image may, or no memory is left.
bool CountColours(const std::vector<PaletteFrame>& frames, std::vector<Counted>& colours)
{
    uint64_t total = 0;
    for (const PaletteFrame& frame : frames)
        if (frame.rgb && frame.width > 0 && frame.height > 0 &&
            !CheckedAdd(total, frame.rgb->size() / 3, total))
            return false;
    if (total > kMaxImagePixels)
        return false;
    std::vector<uint32_t> packed;
    packed.reserve(static_cast<size_t>(total));
    for (const PaletteFrame& frame : frames) {
        if (!frame.rgb || frame.width <= 0 || frame.height <= 0)
            continue;
        const std::vector<uint8_t>& rgb = *frame.rgb;
        for (size_t p = 0; p + 2 < rgb.size(); p += 3)
            packed.push_back(uint32_t{rgb[p]} << 16 | uint32_t{rgb[p + 1]} << 8 | rgb[p + 2]);
    }
    std::sort(packed.begin(), packed.end());
    for (size_t k = 0; k < packed.size();) {
        size_t end = k + 1;
        while (end < packed.size() && packed[end] == packed[k])
            ++end;
        const uint32_t c = packed[k];
        colours.push_back({ToOkLab(static_cast<uint8_t>(c >> 16), static_cast<uint8_t>(c >> 8), static_cast<uint8_t>(c)),
                           static_cast<float>(end - k)});
        k = end;
    }
    return true;
}

float Squared(const Lab& x, const Lab& y)
{
    const float dl = x.l - y.l, da = x.a - y.a, db = x.b - y.b;
    return dl * dl + da * da + db * db;
}

// Lloyd's steps on the palette's entries 1 to made - 1 (blue, green, red, 0
// each); entry 0 and the unused ones stay, though pixels may still go to
// them, as a remap lets them.
void Refine(const std::vector<Counted>& colours, uint8_t* palette, size_t made)
{
    for (int32_t step = 0; step < kRefinements; ++step) {
        // The entries by lightness, so that the search for the nearest can
        // stop once lightness alone is farther than the best found.
        std::array<Lab, 256> entry;
        std::array<uint8_t, 256> order;
        for (size_t k = 0; k < 256; ++k) {
            entry[k] = ToOkLab(palette[k * 4 + 2], palette[k * 4 + 1], palette[k * 4]);
            order[k] = static_cast<uint8_t>(k);
        }
        std::stable_sort(order.begin(), order.end(),
                         [&entry](uint8_t x, uint8_t y) { return entry[x].l < entry[y].l; });
        std::array<float, 256> lightness;
        for (size_t k = 0; k < 256; ++k)
            lightness[k] = entry[order[k]].l;

        std::array<double, 256> sumL{}, sumA{}, sumB{}, count{};
        for (const Counted& c : colours) {
            const auto start = std::lower_bound(lightness.begin(), lightness.end(), c.colour.l) - lightness.begin();
            size_t best = order[static_cast<size_t>(std::min<ptrdiff_t>(start, 255))];
            float bestSquared = Squared(c.colour, entry[best]);
            for (ptrdiff_t up = start, down = start - 1; up < 256 || down >= 0; ++up, --down) {
                bool any = false;
                for (const ptrdiff_t k : {up, down}) {
                    if (k < 0 || k > 255)
                        continue;
                    const float dl = lightness[static_cast<size_t>(k)] - c.colour.l;
                    if (dl * dl >= bestSquared)
                        continue;
                    any = true;
                    const size_t index = order[static_cast<size_t>(k)];
                    const float d = Squared(c.colour, entry[index]);
                    if (d < bestSquared || (d == bestSquared && index < best)) {
                        bestSquared = d;
                        best = index;
                    }
                }
                if (!any)
                    break;
            }
            sumL[best] += double{c.colour.l} * c.count;
            sumA[best] += double{c.colour.a} * c.count;
            sumB[best] += double{c.colour.b} * c.count;
            count[best] += c.count;
        }
        bool moved = false;
        for (size_t k = 1; k < made; ++k) {
            if (count[k] == 0)
                continue;
            uint8_t centre[3];
            FromOkLab({static_cast<float>(sumL[k] / count[k]), static_cast<float>(sumA[k] / count[k]),
                       static_cast<float>(sumB[k] / count[k])},
                      centre);
            moved = moved || std::memcmp(centre, palette + k * 4, 3) != 0;
            std::memcpy(palette + k * 4, centre, 3);
        }
        if (!moved)
            break;
    }
}

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
    // Refined only when the frames' colours can be counted; libimagequant's
    // palette serves as it is otherwise.
    try {
        std::vector<Counted> colours;
        if (CountColours(frames, colours))
            Refine(colours, out, next);
    } catch (const std::bad_alloc&) {
    }
    std::memcpy(palette, out, sizeof out);
    return true;
}
