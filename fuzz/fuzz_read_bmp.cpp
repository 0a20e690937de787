// Arbitrary bytes, from seeds of BMP files, read as a new portrait's
// picture (FuzzPicture.h).
#include "FuzzPicture.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return FuzzPictureReader(data, size);
}
