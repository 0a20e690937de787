// Arbitrary bytes, from seeds of TGA files of every kind the raster surface
// reads, read as a new portrait's picture (FuzzPicture.h): the picture
// reader's own TGA decoder, not LoadTga.
#include "FuzzPicture.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return FuzzPictureReader(data, size);
}
