// Arbitrary bytes, from seeds of PNG files with and without colour profiles,
// read as a new portrait's picture (FuzzPicture.h): past the import bound,
// and through Little CMS.
#include "FuzzPicture.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return FuzzPictureReader(data, size);
}
