#include "platform/display/Display.h"
#include "platform/base/Screen.h"
#include "platform/display/OverlayLayer.h"

#include <png.h>

#include <cstdio>
#include <mutex>
#include <vector>

namespace platform {
namespace {

struct DisplayState {
    std::mutex lock;
    std::shared_ptr<Surface> screen = std::make_shared<Surface>(ScreenWidth, ScreenHeight);
    RECT dirty{};
};

DisplayState& State() {
    static DisplayState state;
    return state;
}

} // namespace

std::shared_ptr<Surface> ScreenSurface() { return State().screen; }

void ScreenChanged(const RECT& dirty) {
    DisplayState& state = State();
    std::lock_guard guard(state.lock);
    if (IsEmptyRect(state.dirty))
        state.dirty = dirty;
    else
        state.dirty = {std::min(state.dirty.left, dirty.left), std::min(state.dirty.top, dirty.top),
                       std::max(state.dirty.right, dirty.right), std::max(state.dirty.bottom, dirty.bottom)};
}

RECT TakeDirtyRect() {
    DisplayState& state = State();
    std::lock_guard guard(state.lock);
    RECT dirty = state.dirty;
    state.dirty = {};
    return dirty;
}

bool SavePng(const Surface& surface, const RECT& wanted, const std::filesystem::path& file) {
    RECT area = IntersectRects(wanted, surface.Bounds());
    if (IsEmptyRect(area))
        return false;
    int width = area.right - area.left, height = area.bottom - area.top;
    std::vector<png_byte> rgb(static_cast<std::size_t>(width) * height * 3);
    {
        std::lock_guard guard(surface.Lock());
        for (int y = 0; y < height; ++y) {
            const Pixel* row = surface.Row(area.top + y) + area.left;
            for (int x = 0; x < width; ++x) {
                png_byte* out = &rgb[(static_cast<std::size_t>(y) * width + x) * 3];
                out[0] = static_cast<png_byte>(row[x] >> 16);
                out[1] = static_cast<png_byte>(row[x] >> 8);
                out[2] = static_cast<png_byte>(row[x]);
            }
        }
    }
    std::FILE* out = std::fopen(file.c_str(), "wb");
    if (!out)
        return false;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = PNG_FORMAT_RGB;
    bool written = png_image_write_to_stdio(&image, out, 0, rgb.data(), width * 3, nullptr) != 0;
    std::fclose(out);
    return written;
}

bool SaveScreenshot(const std::filesystem::path& file, const RECT* area) {
    // What a person sees: the overlay's layer on top.
    std::shared_ptr<Surface> screen = CurrentOverlayLayer() ? ComposedScreen() : ScreenSurface();
    return SavePng(*screen, area ? *area : screen->Bounds(), file);
}

} // namespace platform
