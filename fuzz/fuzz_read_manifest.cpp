// Feeds arbitrary text to the catalogue manifest reader: a manifest that
// reads is written again and must read back to the same value, and one that
// does not always says why.
#include <cstdint>
#include <string_view>

#include "CatalogueManifest.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CatalogueManifest manifest;
    std::string reason;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (ParseCatalogueManifest(text, manifest, reason) != CatalogueManifest::kOk) {
        if (reason.empty() || !(manifest == CatalogueManifest()))
            __builtin_trap();
        return 0;
    }
    CatalogueManifest again;
    if (ParseCatalogueManifest(SerializeCatalogueManifest(manifest), again, reason) != CatalogueManifest::kOk ||
        !(again == manifest))
        __builtin_trap();
    return 0;
}
