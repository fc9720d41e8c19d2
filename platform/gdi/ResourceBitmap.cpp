#include "platform/gdi/ResourceBitmap.h"

#include "platform/base/LastError.h"
#include "platform/device/Module.h"
#include "platform/gdi/GdiApi.h"

#include <cstring>
#include <vector>

namespace {

std::uint32_t Word(const BYTE* bytes, std::size_t at) {
    return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

} // namespace

HBITMAP LoadBitmapW(HINSTANCE module, LPCWSTR name) {
    HRSRC found = FindResourceW(module, name, RT_BITMAP);
    const auto* bytes = found ? static_cast<const BYTE*>(LockResource(LoadResource(module, found))) : nullptr;
    if (!bytes)
        return platform::FailWith<HBITMAP>(ERROR_RESOURCE_NAME_NOT_FOUND, nullptr);
    std::size_t size = SizeofResource(module, found);
    BITMAPINFOHEADER header{};
    if (size < sizeof header + 8)
        return platform::FailWith<HBITMAP>(ERROR_INVALID_DATA, nullptr);
    std::memcpy(&header, bytes, sizeof header);
    auto width = static_cast<std::size_t>(header.biWidth);
    bool bottomUp = header.biHeight > 0;
    std::size_t height = bottomUp ? header.biHeight : -static_cast<std::int64_t>(header.biHeight);
    std::size_t stride = (width + 31) / 32 * 4, bitsAt = header.biSize + 8;
    if (header.biSize < sizeof header || header.biBitCount != 1 || header.biCompression != BI_RGB || width == 0 ||
        width > 0x8000 || height == 0 || height > 0x8000 || size < bitsAt || (size - bitsAt) / stride < height)
        return platform::FailWith<HBITMAP>(ERROR_INVALID_DATA, nullptr);
    bool zeroSet = (Word(bytes, header.biSize) & 0xFFFFFF) != 0,
         oneSet = (Word(bytes, header.biSize + 4) & 0xFFFFFF) != 0;
    // CreateBitmap takes top-down rows padded to 16 bits, a set bit white.
    std::size_t outStride = (width + 15) / 16 * 2;
    std::vector<BYTE> bits(outStride * height);
    for (std::size_t y = 0; y < height; ++y) {
        const BYTE* row = bytes + bitsAt + stride * (bottomUp ? height - 1 - y : y);
        for (std::size_t x = 0; x < width; ++x)
            if ((row[x / 8] & (0x80 >> (x % 8))) ? oneSet : zeroSet)
                bits[outStride * y + x / 8] |= static_cast<BYTE>(0x80 >> (x % 8));
    }
    return CreateBitmap(static_cast<int>(width), static_cast<int>(height), 1, 1, bits.data());
}
