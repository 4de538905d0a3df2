/* stb_image built once, as the reference decoder of the differential tests and benchmarks.
   Never linked into the program. */
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_JPEG
#define STBI_ONLY_PNG
#define STBI_ONLY_BMP
#define STBI_NO_STDIO
#include <stb/stb_image.h>
