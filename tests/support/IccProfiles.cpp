#include "IccProfiles.h"

#include <cstring>

#include <lcms2.h>

namespace {

std::vector<uint8_t> SavedProfile(cmsHPROFILE profile)
{
    cmsUInt32Number size = 0;
    cmsSaveProfileToMem(profile, nullptr, &size);
    std::vector<uint8_t> bytes(size);
    cmsSaveProfileToMem(profile, bytes.data(), &size);
    cmsCloseProfile(profile);
    return bytes;
}

uint32_t GetU32BigEndian(const std::vector<uint8_t>& bytes, size_t at)
{
    return uint32_t{bytes[at]} << 24 | uint32_t{bytes[at + 1]} << 16 | uint32_t{bytes[at + 2]} << 8 | bytes[at + 3];
}

} // namespace

std::vector<uint8_t> LinearRgbProfile()
{
    const cmsCIExyY white = {0.3127, 0.3290, 1.0};
    const cmsCIExyYTRIPLE primaries = {{0.64, 0.33, 1.0}, {0.30, 0.60, 1.0}, {0.15, 0.06, 1.0}};
    cmsToneCurve* linear = cmsBuildGamma(nullptr, 1.0);
    cmsToneCurve* curves[3] = {linear, linear, linear};
    const cmsHPROFILE profile = cmsCreateRGBProfile(&white, &primaries, curves);
    cmsFreeToneCurve(linear);
    return SavedProfile(profile);
}

std::vector<uint8_t> LinearGreyProfile()
{
    cmsToneCurve* linear = cmsBuildGamma(nullptr, 1.0);
    const cmsHPROFILE profile = cmsCreateGrayProfile(cmsD50_xyY(), linear);
    cmsFreeToneCurve(linear);
    return SavedProfile(profile);
}

std::vector<uint8_t> WithUnreadableTags(std::vector<uint8_t> profile)
{
    // After the 128-byte header, the tag count and 12 bytes a tag: its
    // signature, the offset of its data and their size, all big endian.
    const uint32_t tags = GetU32BigEndian(profile, 128);
    for (uint32_t t = 0; t < tags; ++t) {
        const uint32_t offset = GetU32BigEndian(profile, 132 + 12 * size_t{t} + 4);
        if (offset + 4 <= profile.size())
            std::memcpy(&profile[offset], "zzzz", 4);
    }
    return profile;
}
