#pragma once
// The imaging factory: decodes PNG and GIF images held in memory into 32-bit pixels
// (0xAARRGGBB words, straight alpha) and draws them. Created with CoCreateInstance
// (CLSID_ImagingFactory, IID_IImagingFactory). An image is decoded once, when it is
// made; its objects may be used from any thread.

#include "platform/com/Com.h"
#include "platform/gdi/GdiTypes.h"

using PixelFormat = UINT; // a member of the structures below has the same name
constexpr PixelFormat PixelFormat24bppRGB = 0x00021808;
constexpr PixelFormat PixelFormat32bppARGB = 0x0026200A;

constexpr UINT ImageFlagsHasAlpha = 0x0002;

struct ImageInfo {
    GUID RawDataFormat;
    ::PixelFormat PixelFormat;
    UINT Width;
    UINT Height;
    UINT TileWidth;
    UINT TileHeight;
    double Xdpi;
    double Ydpi;
    UINT Flags;
};

enum BufferDisposalFlag { BufferDisposalFlagNone = 0 };
enum InterpolationHint { InterpolationHintDefault = 0 };
constexpr UINT ImageLockModeRead = 0x0001;

struct BitmapData {
    UINT Width;
    UINT Height;
    LONG Stride;
    ::PixelFormat PixelFormat;
    void* Scan0;
    std::uintptr_t Reserved;
};

struct IImage : IUnknown {
    static constexpr IID Iid = {0x7F3A1C01, 0x51D2, 0x4E6B, {0x9A, 0x10, 0x3B, 0x51, 0x6C, 0x22, 0x0E, 0x01}};
    virtual HRESULT GetImageInfo(ImageInfo* info) = 0;
    // Draws the source part (null: all) of the image into the destination rectangle,
    // blending by the image's alpha.
    virtual HRESULT Draw(HDC dc, const RECT* destination, const RECT* source) = 0;
};

struct IBitmapImage : IUnknown {
    static constexpr IID Iid = {0x7F3A1C02, 0x51D2, 0x4E6B, {0x9A, 0x10, 0x3B, 0x51, 0x6C, 0x22, 0x0E, 0x02}};
    virtual HRESULT GetSize(SIZE* size) = 0;
    // Only reading, only PixelFormat32bppARGB: the pixels stay valid until UnlockBits.
    virtual HRESULT LockBits(const RECT* rect, UINT flags, PixelFormat format, BitmapData* data) = 0;
    virtual HRESULT UnlockBits(const BitmapData* data) = 0;
};

struct IImagingFactory : IUnknown {
    static constexpr IID Iid = {0x7F3A1C00, 0x51D2, 0x4E6B, {0x9A, 0x10, 0x3B, 0x51, 0x6C, 0x22, 0x0E, 0x00}};
    // Fails (E_FAIL) for bytes that are neither a PNG nor a GIF image, or are damaged.
    virtual HRESULT CreateImageFromBuffer(const void* buffer, UINT size, BufferDisposalFlag disposal,
                                          IImage** image) = 0;
    // The image's pixels at its own size (other sizes are not offered).
    virtual HRESULT CreateBitmapFromImage(IImage* image, UINT width, UINT height, PixelFormat format,
                                          InterpolationHint hint, IBitmapImage** bitmap) = 0;
};

constexpr CLSID CLSID_ImagingFactory = {0x7F3A1C10, 0x51D2, 0x4E6B, {0x9A, 0x10, 0x3B, 0x51, 0x6C, 0x22, 0x0E, 0x10}};
constexpr IID IID_IImagingFactory = IImagingFactory::Iid;
constexpr IID IID_IImage = IImage::Iid;
constexpr IID IID_IBitmapImage = IBitmapImage::Iid;

namespace platform {
// The imaging factory's class, for the class table.
HRESULT CreateImagingFactory(IUnknown** object);
} // namespace platform
