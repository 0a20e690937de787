// The conversion to sRGB. Every conversion has a Little CMS context of its
// own, whose allocations go through a budget: a profile is untrusted bytes,
// and its tables could otherwise ask for hundreds of megabytes.
#include "IccToSrgb.h"

#include <cstddef>
#include <cstdlib>
#include <cstring>

#include <lcms2.h>
#include <lcms2_plugin.h>

namespace {

// What Little CMS may hold at once for one conversion: the profile's copy,
// its tables and the transform's.
constexpr size_t kMemoryBudget = size_t{64} << 20;

// Each block carries its size in front, so that a free gives it back to
// the budget; the front keeps the block aligned for any type.
constexpr size_t kFront = alignof(std::max_align_t);

struct Budget {
    size_t left = kMemoryBudget;
};

Budget* BudgetOf(cmsContext context)
{
    return static_cast<Budget*>(cmsGetContextUserData(context));
}

void* Allocate(cmsContext context, cmsUInt32Number size)
{
    Budget* budget = BudgetOf(context);
    if (!budget || size > budget->left || size > kMemoryBudget)
        return nullptr;
    auto* block = static_cast<unsigned char*>(std::malloc(kFront + size));
    if (!block)
        return nullptr;
    budget->left -= size;
    std::memcpy(block, &size, sizeof size);
    return block + kFront;
}

void Free(cmsContext context, void* pointer)
{
    if (!pointer)
        return;
    unsigned char* block = static_cast<unsigned char*>(pointer) - kFront;
    cmsUInt32Number size = 0;
    std::memcpy(&size, block, sizeof size);
    if (Budget* budget = BudgetOf(context))
        budget->left += size;
    std::free(block);
}

void* Reallocate(cmsContext context, void* pointer, cmsUInt32Number size)
{
    void* moved = Allocate(context, size);
    if (!moved || !pointer)
        return moved;
    cmsUInt32Number old = 0;
    std::memcpy(&old, static_cast<unsigned char*>(pointer) - kFront, sizeof old);
    std::memcpy(moved, pointer, old < size ? old : size);
    Free(context, pointer);
    return moved;
}

// Plug-ins given to one context, as the budget is, came with version 2.6.
constexpr cmsUInt32Number kPluginVersion = 2060;

// Errors are told by the results; nothing is printed.
void Silent(cmsContext, cmsUInt32Number, const char*) {}

// Owns a context and what was made in it, and lets them go in order.
class CConversion {
public:
    explicit CConversion(Budget& budget)
    {
        m_memory.base = {cmsPluginMagicNumber, kPluginVersion, cmsPluginMemHandlerSig, nullptr};
        m_memory.MallocPtr = Allocate;
        m_memory.FreePtr = Free;
        m_memory.ReallocPtr = Reallocate;
        m_context = cmsCreateContext(&m_memory, &budget);
        if (m_context)
            cmsSetLogErrorHandlerTHR(m_context, Silent);
    }
    ~CConversion()
    {
        if (m_transform)
            cmsDeleteTransform(m_transform);
        for (cmsHPROFILE profile : {m_from, m_to})
            if (profile)
                cmsCloseProfile(profile);
        if (m_context)
            cmsDeleteContext(m_context);
    }
    CConversion(const CConversion&) = delete;
    CConversion& operator=(const CConversion&) = delete;

    // The transform from the profile to sRGB; null when there is none.
    cmsHTRANSFORM Make(std::span<const uint8_t> profile)
    {
        if (!m_context)
            return nullptr;
        m_from = cmsOpenProfileFromMemTHR(m_context, profile.data(), static_cast<cmsUInt32Number>(profile.size()));
        if (!m_from || cmsGetColorSpace(m_from) != cmsSigRgbData)
            return nullptr;
        const cmsProfileClassSignature kind = cmsGetDeviceClass(m_from);
        if (kind != cmsSigInputClass && kind != cmsSigDisplayClass && kind != cmsSigOutputClass &&
            kind != cmsSigColorSpaceClass)
            return nullptr;
        m_to = cmsCreate_sRGBProfileTHR(m_context);
        if (!m_to)
            return nullptr;
        m_transform = cmsCreateTransformTHR(m_context, m_from, TYPE_RGB_8, m_to, TYPE_RGB_8, INTENT_PERCEPTUAL, 0);
        return m_transform;
    }

private:
    cmsPluginMemHandler m_memory{};
    cmsContext m_context = nullptr;
    cmsHPROFILE m_from = nullptr;
    cmsHPROFILE m_to = nullptr;
    cmsHTRANSFORM m_transform = nullptr;
};

} // namespace

bool IccToSrgb(std::span<const uint8_t> profile, Picture& picture)
{
    // A profile has a header of 128 bytes; Little CMS takes sizes of 32 bits.
    if (profile.size() < 128 || profile.size() > kMemoryBudget || picture.width <= 0 || picture.height <= 0 ||
        picture.rgb.size() / 3 / static_cast<size_t>(picture.width) != static_cast<size_t>(picture.height))
        return false;
    Budget budget;
    CConversion conversion(budget);
    const cmsHTRANSFORM transform = conversion.Make(profile);
    if (!transform)
        return false;
    // A row at a time, in place: the counts stay far within 32 bits.
    const size_t rowBytes = static_cast<size_t>(picture.width) * 3;
    for (size_t y = 0; y < static_cast<size_t>(picture.height); ++y) {
        uint8_t* row = picture.rgb.data() + y * rowBytes;
        cmsDoTransform(transform, row, row, static_cast<cmsUInt32Number>(picture.width));
    }
    return true;
}
