// Seeds of the pictures a new portrait is made from: JPEG files baseline,
// progressive and turned by EXIF, WebP and BMP files, and each cut short.
#include "FuzzSeeds.h"
#include "PictureBytes.h"

Seeds ReadJpegSeeds(const Material&)
{
    const std::vector<uint8_t> rgb = QuadrantPicture(40, 24);
    const Bytes baseline = JpegBytes(40, 24, rgb, 85);
    return {
        {"baseline", baseline},
        {"progressive", JpegBytes(40, 24, rgb, 85, 1, true)},
        {"exif_turned", JpegBytes(40, 24, rgb, 85, 6)},
        {"cut_short", Truncated(baseline, baseline.size() / 2)},
    };
}

Seeds ReadWebpSeeds(const Material&)
{
    const Bytes webp = WebpBytes(40, 24, QuadrantPicture(40, 24));
    return {
        {"lossless", webp},
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
