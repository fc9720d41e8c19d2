#include "toolkit/Image.h"

#include "platform/com/Imaging.h"
#include "platform/device/Module.h"
#include "platform/display/PaintApi.h"
#include "platform/gdi/GdiApi.h"
#include "platform/window/WindowApi.h"

#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <tuple>
#include <vector>

struct ToolkitImage {
    IImage* decoder = nullptr;
    HBITMAP bitmap = nullptr;
    HDC memory = nullptr;
    HGDIOBJ previous = nullptr;
    int width = 0;
    int height = 0;
    bool alpha = false;

    ToolkitImage() = default;
    ToolkitImage(const ToolkitImage&) = delete;
    ToolkitImage& operator=(const ToolkitImage&) = delete;
    ~ToolkitImage() { Release(); }

    void Release() {
        if (memory) {
            SelectObject(memory, previous);
            DeleteDC(memory);
        }
        if (bitmap)
            DeleteObject(bitmap);
        if (decoder)
            decoder->Release();
        decoder = nullptr;
        bitmap = nullptr;
        memory = nullptr;
    }
};

namespace {

using ImageKey = std::tuple<HMODULE, UINT, DWORD>;

struct ImageCache {
    std::mutex lock;
    std::map<ImageKey, std::unique_ptr<ToolkitImage>> images;
    IImagingFactory* factory = nullptr;
    std::optional<bool> premultiply;
};

// Never destroyed: wait dialogs on threads of their own may draw frames at exit.
ImageCache& TheCache() {
    static ImageCache& cache = *new ImageCache;
    return cache;
}

// Must be called with the lock held.
IImagingFactory* Factory(ImageCache& cache) {
    if (!cache.factory)
        CoCreateInstance(CLSID_ImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IImagingFactory,
                         reinterpret_cast<void**>(&cache.factory));
    return cache.factory;
}

// Must be called with the lock held.
bool Premultiplies(ImageCache& cache) {
    if (!cache.premultiply) {
        wchar_t oem[128 / sizeof(wchar_t)] = {};
        bool known = SystemParametersInfoW(SPI_GETOEMINFO, sizeof oem, oem, 0);
        cache.premultiply = !(known && std::wstring(oem) == L"Tarvelo");
    }
    return *cache.premultiply;
}

// The 32-bit pixels of an image with alpha, premultiplied by the rule when asked.
std::optional<std::vector<std::uint32_t>> AlphaPixels(IImagingFactory* factory, IImage* decoder, int width, int height,
                                                      bool premultiply) {
    IBitmapImage* bitmap = nullptr;
    if (FAILED(factory->CreateBitmapFromImage(decoder, width, height, PixelFormat32bppARGB, InterpolationHintDefault,
                                              &bitmap)))
        return std::nullopt;
    BitmapData data{};
    std::optional<std::vector<std::uint32_t>> pixels;
    if (SUCCEEDED(bitmap->LockBits(nullptr, ImageLockModeRead, PixelFormat32bppARGB, &data))) {
        pixels.emplace(static_cast<std::size_t>(width) * height);
        for (int y = 0; y < height; ++y) {
            const auto* row = reinterpret_cast<const std::uint32_t*>(static_cast<const char*>(data.Scan0) +
                                                                     static_cast<std::ptrdiff_t>(y) * data.Stride);
            std::copy(row, row + width, pixels->begin() + static_cast<std::ptrdiff_t>(y) * width);
        }
        bitmap->UnlockBits(&data);
    }
    bitmap->Release();
    if (pixels && premultiply) {
        for (std::uint32_t& pixel : *pixels) {
            std::uint32_t a = pixel >> 24;
            auto channel = [&](int shift) { return ((((pixel >> shift) & 0xFF) * a + 255) >> 8) << shift; };
            pixel = (a << 24) | channel(16) | channel(8) | channel(0);
        }
    }
    return pixels;
}

// Loads the image from its resource. Must be called with the lock held.
bool Load(ImageCache& cache, ToolkitImage& image, HMODULE module, UINT id, DWORD flags) {
    image.Release();
    HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(id), RT_RCDATA);
    HGLOBAL data = resource ? LoadResource(module, resource) : nullptr;
    const void* bytes = data ? LockResource(data) : nullptr;
    IImagingFactory* factory = Factory(cache);
    if (!bytes || !factory ||
        FAILED(factory->CreateImageFromBuffer(bytes, SizeofResource(module, resource), BufferDisposalFlagNone,
                                              &image.decoder)))
        return false;
    ImageInfo info{};
    image.decoder->GetImageInfo(&info);
    image.width = static_cast<int>(info.Width);
    image.height = static_cast<int>(info.Height);
    image.alpha = (info.Flags & ImageFlagsHasAlpha) != 0;
    if (flags & ImageWithBitmap) {
        HDC screen = GetDC(nullptr);
        if (image.alpha) {
            auto pixels = AlphaPixels(factory, image.decoder, image.width, image.height, Premultiplies(cache));
            if (pixels)
                image.bitmap = CreateBitmap(image.width, image.height, 1, 32, pixels->data());
        } else {
            image.bitmap = CreateCompatibleBitmap(screen, image.width, image.height);
        }
        image.memory = image.bitmap ? CreateCompatibleDC(screen) : nullptr;
        ReleaseDC(nullptr, screen);
        if (!image.memory)
            return false;
        image.previous = SelectObject(image.memory, image.bitmap);
        if (!image.alpha) {
            RECT all{0, 0, image.width, image.height};
            image.decoder->Draw(image.memory, &all, nullptr);
        }
        if (flags & ImageWithoutDecoder) {
            image.decoder->Release();
            image.decoder = nullptr;
        }
    }
    return true;
}

} // namespace

ToolkitImage* LoadImage(HMODULE module, UINT resourceId, DWORD flags) {
    ImageCache& cache = TheCache();
    std::lock_guard guard(cache.lock);
    ImageKey key{module, resourceId, flags};
    if (auto found = cache.images.find(key); found != cache.images.end())
        return found->second.get();
    auto image = std::make_unique<ToolkitImage>();
    if (!Load(cache, *image, module, resourceId, flags))
        return nullptr;
    return (cache.images[key] = std::move(image)).get();
}

void DrawImage(const ToolkitImage* image, HDC dc, const RECT& rect, bool stretch, bool keepAspect) {
    if (!image || image->width <= 0 || image->height <= 0)
        return;
    int width = rect.right - rect.left, height = rect.bottom - rect.top;
    RECT to{rect.left, rect.top, rect.left + image->width, rect.top + image->height};
    if (stretch) {
        to = rect;
        if (keepAspect) {
            // Reduce the direction in which the rectangle is relatively longer.
            if (static_cast<long long>(width) * image->height > static_cast<long long>(height) * image->width) {
                int fitted = static_cast<int>(static_cast<long long>(height) * image->width / image->height);
                to.left = rect.left + (width - fitted) / 2;
                to.right = to.left + fitted;
            } else {
                int fitted = static_cast<int>(static_cast<long long>(width) * image->height / image->width);
                to.top = rect.top + (height - fitted) / 2;
                to.bottom = to.top + fitted;
            }
        }
    } else {
        to.right = std::min(to.right, rect.right);
        to.bottom = std::min(to.bottom, rect.bottom);
    }
    int toWidth = to.right - to.left, toHeight = to.bottom - to.top;
    int fromWidth = stretch ? image->width : toWidth, fromHeight = stretch ? image->height : toHeight;
    if (image->memory) {
        if (image->alpha)
            AlphaBlend(dc, to.left, to.top, toWidth, toHeight, image->memory, 0, 0, fromWidth, fromHeight,
                       BLENDFUNCTION{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA});
        else
            StretchBlt(dc, to.left, to.top, toWidth, toHeight, image->memory, 0, 0, fromWidth, fromHeight, SRCCOPY);
    } else if (image->decoder) {
        RECT from{0, 0, fromWidth, fromHeight};
        image->decoder->Draw(dc, &to, &from);
    }
}

SIZE ImageSize(const ToolkitImage* image) { return image ? SIZE{image->width, image->height} : SIZE{0, 0}; }

bool ImageHasAlpha(const ToolkitImage* image) { return image && image->alpha; }

HBITMAP ImageBitmap(const ToolkitImage* image) { return image ? image->bitmap : nullptr; }

void ReleaseImages() {
    ImageCache& cache = TheCache();
    std::lock_guard guard(cache.lock);
    cache.images.clear();
    if (cache.factory)
        cache.factory->Release();
    cache.factory = nullptr;
    // Asked again at the next start.
    cache.premultiply.reset();
}
