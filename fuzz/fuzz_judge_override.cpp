// Feeds arbitrary bytes to the one rule that decides whether an override
// file may stand in for its entry (loading, status, validate and the pack).
// A damaged file says why and gives no image; a sound one gives the bytes
// after its header, which load into an image with every frame it claims.
#include <cstdint>
#include <span>

#include "FuzzEntryName.h"
#include "OverrideFile.h"
#include "PortraitImage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const COverrideFile file = COverrideFile::Judge(std::span(data, size), kFuzzEntryName);
    if (file.state == COverrideFile::State::kDamaged) {
        if (file.fault.empty() || file.image)
            __builtin_trap();
        return 0;
    }
    if (file.state != COverrideFile::State::kSound || !file.image || file.image->size() > size)
        __builtin_trap();
    CPortraitImage image;
    image.SetMessageHandler([](const std::string&, const std::string&) { __builtin_trap(); });
    image.ReadImage(file.image->data(), file.image->size());
    const uint8_t depth = image.Header().BitDepth();
    if (depth != 8 && depth != 16)
        __builtin_trap();
    for (int32_t i = 0; i < image.Header().FrameCount(); ++i)
        if (!image.GetFrameSurface(i))
            __builtin_trap();
    return 0;
}
