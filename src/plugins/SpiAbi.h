// The picture plug-in interface, as the host and the plug-ins share it.
//
// A plug-in is a shared library whose name ends in ".spi" (any case) exporting these functions
// with C linkage. The widths are those of the interface's original platform (its "long" is 32
// bits), pinned here so that a 64-bit build means the same bytes. Memory handles are blocks
// from malloc that the receiver releases with free. The bitmap information block is a 40-byte
// little-endian BITMAPINFOHEADER followed by its colour table; the pixel rows run bottom-up,
// each padded to 4 bytes.
#pragma once

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

// Results of the picture calls.
enum {
    SPI_SUCCESS = 0,
    SPI_NOT_IMPLEMENTED = -1,
    SPI_ABORTED = 1,
    SPI_UNKNOWN_FORMAT = 2,
    SPI_BROKEN_DATA = 3,
    SPI_NO_MEMORY = 4,
    SPI_MEMORY_ERROR = 5,
    SPI_FILE_READ_ERROR = 6,
    SPI_INTERNAL_ERROR = 8
};

// Input flag: the low bits say whether the first argument names a file (0) or is memory (1).
enum { SPI_INPUT_FILE = 0, SPI_INPUT_MEMORY = 1 };

// The first bytes of a file that IsSupported is shown.
enum { SPI_HEADER_BYTES = 2048 };

#pragma pack(push, 1)
typedef struct SpiPictureInfo {
    int32_t left, top;
    int32_t width, height;
    uint16_t x_density, y_density;
    int16_t colorDepth;
    void* hInfo; // text information from malloc, or null; the caller frees it
} SpiPictureInfo;

typedef struct SpiBitmapInfoHeader {
    uint32_t biSize;
    int32_t biWidth;
    int32_t biHeight;
    uint16_t biPlanes;
    uint16_t biBitCount;
    uint32_t biCompression;
    uint32_t biSizeImage;
    int32_t biXPelsPerMeter;
    int32_t biYPelsPerMeter;
    uint32_t biClrUsed;
    uint32_t biClrImportant;
} SpiBitmapInfoHeader;
#pragma pack(pop)

typedef int (*SpiProgressCallback)(int done, int total, int32_t data);

typedef int (*SpiGetPluginInfo)(int infono, char* buf, int buflen);
typedef int (*SpiIsSupported)(const char* filename, void* header);
typedef int (*SpiGetPictureInfo)(const char* buf, int32_t len, uint32_t flag, SpiPictureInfo* info);
typedef int (*SpiGetPicture)(const char* buf, int32_t len, uint32_t flag, void** bitmapInfo,
                             void** bitmap, SpiProgressCallback progress, int32_t data);
// Looked up, never called.
typedef int (*SpiGetPreview)(const char* buf, int32_t len, uint32_t flag, void** bitmapInfo,
                             void** bitmap, SpiProgressCallback progress, int32_t data);
typedef int (*SpiGetArchiveInfo)(const char* buf, int32_t len, uint32_t flag, void** info);
typedef int (*SpiGetFile)(const char* src, int32_t len, char* dest, uint32_t flag,
                          SpiProgressCallback progress, int32_t data);

#ifdef __cplusplus
} // extern "C"

static_assert(sizeof(SpiPictureInfo) == 22 + sizeof(void*), "picture information is packed");
static_assert(sizeof(SpiBitmapInfoHeader) == 40, "BITMAPINFOHEADER is 40 bytes");
static_assert(sizeof(int) == 4, "the interface's int is 32 bits");
#endif
