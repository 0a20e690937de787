// Seeds of the pictures a new portrait is made from: JPEG files baseline,
// progressive and turned by EXIF, WebP, BMP and PNG files, the JPEG, WebP
// and PNG files also with colour profiles, sound and not, and each cut
// short.
#include "FuzzSeeds.h"
#include "IccProfiles.h"
#include "PictureBytes.h"
#include "PngBytes.h"

Seeds ReadJpegSeeds(const Material&)
{
    const std::vector<uint8_t> rgb = QuadrantPicture(40, 24);
    const Bytes baseline = JpegBytes(40, 24, rgb, 85);
    return {
        {"baseline", baseline},
        {"progressive", JpegBytes(40, 24, rgb, 85, 1, true)},
        {"exif_turned", JpegBytes(40, 24, rgb, 85, 6)},
        {"linear_profile", JpegBytes(40, 24, rgb, 85, 1, false, LinearRgbProfile())},
        {"grey_profile", JpegBytes(40, 24, rgb, 85, 1, false, LinearGreyProfile())},
        {"unreadable_profile", JpegBytes(40, 24, rgb, 85, 1, false, WithUnreadableTags(LinearRgbProfile()))},
        {"cut_short", Truncated(baseline, baseline.size() / 2)},
    };
}

Seeds ReadWebpSeeds(const Material&)
{
    const Bytes webp = WebpBytes(40, 24, QuadrantPicture(40, 24));
    return {
        {"lossless", webp},
        {"linear_profile", WebpBytes(40, 24, QuadrantPicture(40, 24), LinearRgbProfile())},
        {"unreadable_profile", WebpBytes(40, 24, QuadrantPicture(40, 24), WithUnreadableTags(LinearRgbProfile()))},
        {"cut_short", Truncated(webp, webp.size() / 2)},
    };
}

Seeds ReadBmpSeeds(const Material&)
{
    const Bytes bmp = BmpBytes(21, 11, QuadrantPicture(21, 11));
    return {
        {"rgb24_odd_width", bmp},
        {"cut_short", Truncated(bmp, bmp.size() / 2)},
    };
}

Seeds ReadPngPictureSeeds(const Material& m)
{
    const std::vector<uint8_t> rgb = QuadrantPicture(40, 24);
    const Bytes profiled = PngBytes(40, 24, rgb, LinearRgbProfile());
    return {
        {"export_indexed", m.indexedPng},
        {"export_rgb", m.rgbPng},
        {"linear_profile", profiled},
        {"unreadable_profile", PngBytes(40, 24, rgb, WithUnreadableTags(LinearRgbProfile()))},
        // 3000 x 2000 declared over the rows of 40 x 24.
        {"declares_6_megapixels", WithDeclaredPngSize(profiled, 3000, 2000)},
        {"cut_short", Truncated(profiled, profiled.size() / 2)},
    };
}
