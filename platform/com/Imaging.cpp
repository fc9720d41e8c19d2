#include "platform/com/Imaging.h"

#include "platform/com/ComObject.h"
#include "platform/gdi/GdiApi.h"

#include <cstring>
#include <gif_lib.h>
#include <memory>
#include <optional>
#include <png.h>
#include <vector>

namespace {

// Decoded pixels: 0xAARRGGBB words, row after row, straight (not premultiplied) alpha.
struct Pixels {
    UINT width = 0;
    UINT height = 0;
    bool alpha = false;
    std::vector<std::uint32_t> words;
};

constexpr std::size_t MaximumPixels = 16u << 20; // far beyond any image of a 480 × 720 screen

std::optional<Pixels> DecodePng(const void* buffer, std::size_t size) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, buffer, size))
        return std::nullopt;
    Pixels pixels;
    pixels.width = image.width;
    pixels.height = image.height;
    pixels.alpha = (image.format & PNG_FORMAT_FLAG_ALPHA) != 0;
    if (static_cast<std::size_t>(image.width) * image.height > MaximumPixels) {
        png_image_free(&image);
        return std::nullopt;
    }
    image.format = PNG_FORMAT_BGRA; // as little-endian words: 0xAARRGGBB
    pixels.words.resize(static_cast<std::size_t>(image.width) * image.height);
    if (!png_image_finish_read(&image, nullptr, pixels.words.data(), 0, nullptr))
        return std::nullopt;
    return pixels;
}

struct MemoryReader {
    const unsigned char* bytes;
    std::size_t size;
    std::size_t at = 0;
};

int ReadGif(GifFileType* file, GifByteType* into, int wanted) {
    auto* reader = static_cast<MemoryReader*>(file->UserData);
    std::size_t count = std::min<std::size_t>(static_cast<std::size_t>(wanted), reader->size - reader->at);
    std::memcpy(into, reader->bytes + reader->at, count);
    reader->at += count;
    return static_cast<int>(count);
}

// The first frame on the logical screen; pixels it leaves uncovered are transparent.
std::optional<Pixels> DecodeGif(const void* buffer, std::size_t size) {
    MemoryReader reader{static_cast<const unsigned char*>(buffer), size};
    int error = 0;
    std::unique_ptr<GifFileType, void (*)(GifFileType*)> file(DGifOpen(&reader, &ReadGif, &error), [](GifFileType* f) {
        int ignored = 0;
        DGifCloseFile(f, &ignored);
    });
    if (!file || DGifSlurp(file.get()) != GIF_OK || file->ImageCount < 1 || file->SWidth <= 0 || file->SHeight <= 0 ||
        static_cast<std::size_t>(file->SWidth) * file->SHeight > MaximumPixels)
        return std::nullopt;
    const SavedImage& frame = file->SavedImages[0];
    const ColorMapObject* colours = frame.ImageDesc.ColorMap ? frame.ImageDesc.ColorMap : file->SColorMap;
    if (!colours)
        return std::nullopt;
    GraphicsControlBlock control{};
    control.TransparentColor = NO_TRANSPARENT_COLOR;
    DGifSavedExtensionToGCB(file.get(), 0, &control);
    Pixels pixels;
    pixels.width = static_cast<UINT>(file->SWidth);
    pixels.height = static_cast<UINT>(file->SHeight);
    pixels.words.assign(static_cast<std::size_t>(pixels.width) * pixels.height, 0);
    const GifImageDesc& place = frame.ImageDesc;
    bool covers = place.Left == 0 && place.Top == 0 && place.Width == file->SWidth && place.Height == file->SHeight;
    pixels.alpha = control.TransparentColor != NO_TRANSPARENT_COLOR || !covers;
    for (int y = 0; y < place.Height; ++y) {
        for (int x = 0; x < place.Width; ++x) {
            int index = frame.RasterBits[static_cast<std::size_t>(y) * place.Width + x];
            int tx = place.Left + x, ty = place.Top + y;
            if (index == control.TransparentColor || index >= colours->ColorCount || tx >= file->SWidth ||
                ty >= file->SHeight)
                continue;
            const GifColorType& c = colours->Colors[index];
            pixels.words[static_cast<std::size_t>(ty) * pixels.width + tx] =
                0xFF000000u | static_cast<std::uint32_t>(c.Red) << 16 | static_cast<std::uint32_t>(c.Green) << 8 |
                c.Blue;
        }
    }
    return pixels;
}

class Image : public ComObject<IImage> {
public:
    explicit Image(std::shared_ptr<const Pixels> pixels) : m_pixels(std::move(pixels)) {}
    const std::shared_ptr<const Pixels>& Decoded() const { return m_pixels; }

    HRESULT GetImageInfo(ImageInfo* info) override {
        if (!info)
            return E_POINTER;
        *info = ImageInfo{};
        info->PixelFormat = m_pixels->alpha ? PixelFormat32bppARGB : PixelFormat24bppRGB;
        info->Width = m_pixels->width;
        info->Height = m_pixels->height;
        info->TileWidth = m_pixels->width;
        info->TileHeight = 1;
        info->Xdpi = info->Ydpi = 96;
        info->Flags = m_pixels->alpha ? ImageFlagsHasAlpha : 0;
        return S_OK;
    }

    HRESULT Draw(HDC dc, const RECT* destination, const RECT* source) override {
        if (!destination)
            return E_POINTER;
        const Pixels& pixels = *m_pixels;
        RECT from = source ? *source : RECT{0, 0, static_cast<LONG>(pixels.width), static_cast<LONG>(pixels.height)};
        // Blending wants premultiplied pixels; an opaque image is copied as it is.
        std::vector<std::uint32_t> words = pixels.words;
        if (pixels.alpha) {
            for (std::uint32_t& word : words) {
                std::uint32_t a = word >> 24;
                auto mix = [&](int shift) { return (((word >> shift) & 0xFF) * a / 255) << shift; };
                word = (a << 24) | mix(16) | mix(8) | mix(0);
            }
        }
        HBITMAP bitmap =
            CreateBitmap(static_cast<int>(pixels.width), static_cast<int>(pixels.height), 1, 32, words.data());
        HDC memory = CreateCompatibleDC(dc);
        if (!bitmap || !memory) {
            DeleteObject(bitmap);
            DeleteDC(memory);
            return E_FAIL;
        }
        HGDIOBJ previous = SelectObject(memory, bitmap);
        int width = destination->right - destination->left, height = destination->bottom - destination->top;
        BOOL drawn = pixels.alpha
                         ? AlphaBlend(dc, destination->left, destination->top, width, height, memory, from.left,
                                      from.top, from.right - from.left, from.bottom - from.top,
                                      BLENDFUNCTION{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA})
                         : StretchBlt(dc, destination->left, destination->top, width, height, memory, from.left,
                                      from.top, from.right - from.left, from.bottom - from.top, SRCCOPY);
        SelectObject(memory, previous);
        DeleteDC(memory);
        DeleteObject(bitmap);
        return drawn ? S_OK : E_FAIL;
    }

private:
    std::shared_ptr<const Pixels> m_pixels;
};

class BitmapImage : public ComObject<IBitmapImage> {
public:
    explicit BitmapImage(std::shared_ptr<const Pixels> pixels) : m_pixels(std::move(pixels)) {}

    HRESULT GetSize(SIZE* size) override {
        if (!size)
            return E_POINTER;
        *size = SIZE{static_cast<LONG>(m_pixels->width), static_cast<LONG>(m_pixels->height)};
        return S_OK;
    }
    HRESULT LockBits(const RECT* rect, UINT flags, PixelFormat format, BitmapData* data) override {
        if (!data)
            return E_POINTER;
        RECT all{0, 0, static_cast<LONG>(m_pixels->width), static_cast<LONG>(m_pixels->height)};
        RECT area = rect ? *rect : all;
        if (format != PixelFormat32bppARGB || flags != ImageLockModeRead || area.left < 0 || area.top < 0 ||
            area.right > all.right || area.bottom > all.bottom || area.left > area.right || area.top > area.bottom)
            return E_INVALIDARG;
        LONG stride = all.right * 4;
        *data = BitmapData{static_cast<UINT>(area.right - area.left),
                           static_cast<UINT>(area.bottom - area.top),
                           stride,
                           format,
                           const_cast<std::uint32_t*>(m_pixels->words.data()) +
                               static_cast<std::size_t>(area.top) * all.right + area.left,
                           0};
        return S_OK;
    }
    HRESULT UnlockBits(const BitmapData* data) override { return data ? S_OK : E_POINTER; }

private:
    std::shared_ptr<const Pixels> m_pixels;
};

class ImagingFactory : public ComObject<IImagingFactory> {
public:
    HRESULT CreateImageFromBuffer(const void* buffer, UINT size, BufferDisposalFlag, IImage** image) override {
        if (!image)
            return E_POINTER;
        *image = nullptr;
        if (!buffer)
            return E_INVALIDARG;
        static constexpr unsigned char PngSignature[] = {0x89, 'P', 'N', 'G'};
        const auto* bytes = static_cast<const unsigned char*>(buffer);
        std::optional<Pixels> pixels;
        if (size >= 4 && std::memcmp(bytes, PngSignature, 4) == 0)
            pixels = DecodePng(buffer, size);
        else if (size >= 6 && (std::memcmp(bytes, "GIF87a", 6) == 0 || std::memcmp(bytes, "GIF89a", 6) == 0))
            pixels = DecodeGif(buffer, size);
        if (!pixels)
            return E_FAIL;
        *image = new Image(std::make_shared<const Pixels>(std::move(*pixels)));
        return S_OK;
    }
    HRESULT CreateBitmapFromImage(IImage* image, UINT width, UINT height, PixelFormat format, InterpolationHint,
                                  IBitmapImage** bitmap) override {
        if (!bitmap || !image)
            return E_POINTER;
        *bitmap = nullptr;
        // Only the factory's own images are known here.
        auto* own = dynamic_cast<Image*>(image);
        if (!own || format != PixelFormat32bppARGB || width != own->Decoded()->width ||
            height != own->Decoded()->height)
            return E_INVALIDARG;
        *bitmap = new BitmapImage(own->Decoded());
        return S_OK;
    }
};

} // namespace

namespace platform {

HRESULT CreateImagingFactory(IUnknown** object) {
    *object = new ImagingFactory;
    return S_OK;
}

} // namespace platform
