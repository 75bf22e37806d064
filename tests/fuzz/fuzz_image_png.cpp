// PNG files from memory through the image library's PNG codec, then resized
// and written again.
#include "fuzz_image.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return FuzzImageFormat(data, size, IMAGE_FORMAT_PNG);
}
