#pragma once
// Pictures the browser tests put beside their pages.

#include <png.h>

#include <cstdint>
#include <string>
#include <vector>

// A 4 × 4 opaque red PNG.
inline std::string RedPng() {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = image.height = 4;
    image.format = PNG_FORMAT_RGBA;
    std::vector<std::uint8_t> pixels(64);
    for (std::size_t i = 0; i < 16; ++i)
        pixels[4 * i] = 255, pixels[4 * i + 3] = 255;
    png_alloc_size_t size = 0;
    png_image_write_to_memory(&image, nullptr, &size, 0, pixels.data(), 0, nullptr);
    std::string bytes(size, '\0');
    png_image_write_to_memory(&image, bytes.data(), &size, 0, pixels.data(), 0, nullptr);
    return bytes;
}
