#include "toolkit/Image.h"

#include "art/ProgramArt.h"
#include "platform/com/Imaging.h"
#include "platform/device/Module.h"
#include "platform/gdi/GdiApi.h"
#include "platform/gdi/ResourceBitmap.h"
#include "support/ScopedEnvironment.h"
#include "support/TemporaryRoot.h"
#include "toolkit/Theme.h"

#include <gtest/gtest.h>
#include <png.h>

namespace {

// A PNG of 0xAARRGGBB pixels, one row.
std::string Png(const std::vector<std::uint32_t>& row) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(row.size());
    image.height = 1;
    image.format = PNG_FORMAT_BGRA;
    png_alloc_size_t size = 0;
    png_image_write_to_memory(&image, nullptr, &size, 0, row.data(), 0, nullptr);
    std::string bytes(size, '\0');
    png_image_write_to_memory(&image, bytes.data(), &size, 0, row.data(), 0, nullptr);
    bytes.resize(size);
    return bytes;
}

// Two pixels: red, then one of the transparent colour.
const std::string TwoPixelGif("GIF89a\x02\x00\x01\x00\x80\x00\x00"
                              "\xFF\x00\x00\x00\x00\xFF"
                              "\x21\xF9\x04\x01\x00\x00\x01\x00"
                              "\x2C\x00\x00\x00\x00\x02\x00\x01\x00\x00"
                              "\x02\x02\x44\x0A\x00\x3B",
                              44);

std::uint32_t PixelOf(HBITMAP bitmap, int x) {
    BITMAP info{};
    GetObjectW(bitmap, sizeof info, &info);
    return static_cast<const std::uint32_t*>(info.bmBits)[x];
}

class ImageTest : public ::testing::Test {
protected:
    ImageTest() {
        ReleaseImages();
        static const std::string translucent = Png({0x80C86432, 0xFF0000FF});
        static const std::string damaged = Png({0xFF000000}).substr(0, 30);
        platform::RegisterProgramResources({{10, 1001, 2052, translucent}, {10, 1002, 2052, damaged}});
    }
    ~ImageTest() override { ReleaseImages(); }

    TemporaryRoot m_root;
};

TEST_F(ImageTest, ImagesWithAlphaArePremultipliedByTheRule) {
    HMODULE program = GetModuleHandleW(nullptr);
    ToolkitImage* image = LoadImage(program, 1001, ImageWithBitmap | ImageWithoutDecoder);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(LoadImage(program, 1001, ImageWithBitmap | ImageWithoutDecoder), image);
    EXPECT_NE(LoadImage(program, 1001, ImageWithBitmap), image);
    EXPECT_TRUE(ImageHasAlpha(image));
    EXPECT_EQ(ImageSize(image).cx, 2);
    // (c × a + 255) >> 8 with a = 0x80: 0xC8 → 0x64, 0x64 → 0x32, 0x32 → 0x19.
    EXPECT_EQ(PixelOf(ImageBitmap(image), 0), 0x80643219u);
    EXPECT_EQ(PixelOf(ImageBitmap(image), 1), 0xFF0000FFu);
}

TEST_F(ImageTest, OnTheOemExceptionPixelsStayAsTheyAre) {
    ScopedEnvironment oem("QUILLORA_OEM_INFO", "Tarvelo");
    ToolkitImage* image = LoadImage(GetModuleHandleW(nullptr), 1001, ImageWithBitmap);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(PixelOf(ImageBitmap(image), 0), 0x80C86432u);
}

TEST_F(ImageTest, MissingAndDamagedImagesAreNull) {
    EXPECT_EQ(LoadImage(GetModuleHandleW(nullptr), 1003, ImageWithBitmap), nullptr);
    EXPECT_EQ(LoadImage(GetModuleHandleW(nullptr), 1002, ImageWithBitmap), nullptr);
    // No resource pack in the device: the toolkit's images are simply missing.
    std::filesystem::remove(m_root.Host("Windows/ftres.dll"));
    ReleaseThemeResources();
    EXPECT_EQ(GetResourceModule(), nullptr);
    EXPECT_EQ(LoadImage(GetResourceModule(), 142, ImageWithBitmap), nullptr);
    HDC memory = CreateCompatibleDC(nullptr);
    DrawImage(nullptr, memory, RECT{0, 0, 10, 10}, true, true);
    DeleteDC(memory);
}

TEST_F(ImageTest, DrawingBlendsAndKeepsTheProportions) {
    ToolkitImage* image = LoadImage(GetModuleHandleW(nullptr), 1001, ImageWithBitmap);
    ASSERT_NE(image, nullptr);
    HDC memory = CreateCompatibleDC(nullptr);
    HBITMAP canvas = CreateCompatibleBitmap(memory, 20, 20);
    HGDIOBJ previous = SelectObject(memory, canvas);
    RECT all{0, 0, 20, 20};
    FillRect(memory, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    // 2 × 1 into 20 × 20 with its proportions: 20 × 10, centred from row 5.
    DrawImage(image, memory, all, true, true);
    EXPECT_EQ(GetPixel(memory, 15, 4), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(memory, 15, 5), RGB(0, 0, 255));
    EXPECT_EQ(GetPixel(memory, 15, 14), RGB(0, 0, 255));
    EXPECT_EQ(GetPixel(memory, 15, 15), RGB(255, 255, 255));
    // The translucent pixel over white: its own premultiplied colour plus half the white.
    COLORREF blended = GetPixel(memory, 2, 8);
    EXPECT_NEAR(GetRValue(blended), 0x64 + 127, 2);
    EXPECT_NEAR(GetBValue(blended), 0x19 + 127, 2);
    SelectObject(memory, previous);
    DeleteObject(canvas);
    DeleteDC(memory);
}

TEST(ImagingFactory, DecodesGifWithItsTransparentColour) {
    IImagingFactory* factory = nullptr;
    ASSERT_EQ(CoCreateInstance(CLSID_ImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IImagingFactory,
                               reinterpret_cast<void**>(&factory)),
              S_OK);
    IImage* image = nullptr;
    ASSERT_EQ(factory->CreateImageFromBuffer(TwoPixelGif.data(), static_cast<UINT>(TwoPixelGif.size()),
                                             BufferDisposalFlagNone, &image),
              S_OK);
    ImageInfo info{};
    image->GetImageInfo(&info);
    EXPECT_EQ(info.Width, 2u);
    EXPECT_TRUE(info.Flags & ImageFlagsHasAlpha);
    IBitmapImage* bitmap = nullptr;
    ASSERT_EQ(factory->CreateBitmapFromImage(image, 2, 1, PixelFormat32bppARGB, InterpolationHintDefault, &bitmap),
              S_OK);
    BitmapData data{};
    ASSERT_EQ(bitmap->LockBits(nullptr, ImageLockModeRead, PixelFormat32bppARGB, &data), S_OK);
    EXPECT_EQ(static_cast<const std::uint32_t*>(data.Scan0)[0], 0xFFFF0000u);
    EXPECT_EQ(static_cast<const std::uint32_t*>(data.Scan0)[1] >> 24, 0u);
    bitmap->UnlockBits(&data);
    bitmap->Release();
    image->Release();
    EXPECT_EQ(factory->CreateImageFromBuffer("not an image", 12, BufferDisposalFlagNone, &image), E_FAIL);
    EXPECT_EQ(image, nullptr);
    factory->Release();
    void* unknown = nullptr;
    EXPECT_EQ(CoCreateInstance(IID_IImage, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, &unknown), REGDB_E_CLASSNOTREG);
}

} // namespace

#include "toolkit/ToolkitImages.h"

namespace {

// A pixel of a 1-bit bitmap, read through a copy into a 32-bit one.
std::uint32_t MaskPixel(HBITMAP mask, int x, int y) {
    HDC source = CreateCompatibleDC(nullptr), target = CreateCompatibleDC(nullptr);
    HBITMAP copy = CreateBitmap(1, 1, 1, 32, nullptr);
    HGDIOBJ oldSource = SelectObject(source, mask), oldTarget = SelectObject(target, copy);
    BitBlt(target, 0, 0, 1, 1, source, x, y, SRCCOPY);
    SelectObject(source, oldSource);
    SelectObject(target, oldTarget);
    DeleteDC(source);
    DeleteDC(target);
    std::uint32_t pixel = PixelOf(copy, 0) & 0x00FFFFFF;
    DeleteObject(copy);
    return pixel;
}

TEST(ShippedArt, EveryToolkitImageIsInTheResourcePackAndTheSoundsAreThere) {
    TemporaryRoot root;
    ReleaseImages();
    ReleaseThemeResources();
    HMODULE module = GetResourceModule();
    ASSERT_NE(module, nullptr) << "the build writes \\Windows\\ftres.dll into the generated device image";
    for (UINT id : ToolkitImageIds) {
        ToolkitImage* image = LoadImage(module, id, ImageWithBitmap);
        ASSERT_NE(image, nullptr) << id;
        EXPECT_TRUE(ImageHasAlpha(image)) << id;
        EXPECT_GE(ImageSize(image).cx * ImageSize(image).cy, 256) << id; // drawn, not a placeholder dot
    }
    EXPECT_EQ(ImageSize(LoadImage(module, FirstWaitFrame, ImageWithBitmap)).cx, 64);
    // The loupe's mask: a 1-bit bitmap of the loupe's size, clear in the middle, set in a corner.
    HBITMAP mask = LoadBitmapW(module, MAKEINTRESOURCEW(LoupeMaskBitmap));
    BITMAP info{};
    ASSERT_EQ(GetObjectW(mask, sizeof info, &info), static_cast<int>(sizeof info));
    EXPECT_EQ(info.bmBitsPixel, 1);
    EXPECT_EQ(info.bmWidth, 179);
    EXPECT_EQ(info.bmHeight, 179);
    EXPECT_EQ(MaskPixel(mask, 89, 89), 0u);
    EXPECT_EQ(MaskPixel(mask, 2, 2), 0x00FFFFFFu);
    DeleteObject(mask);
    EXPECT_EQ(LoadBitmapW(module, MAKEINTRESOURCEW(ArrowImage)), nullptr) << "an image is not a bitmap resource";
    for (const char* sound : {"Windows/keyloud.wav", "Windows/switch.wav"})
        EXPECT_EQ(ReadHostFile(root.Host(sound)).substr(0, 4), "RIFF") << sound;
    // The provider logos are GIF files of 140 × 60 that the imaging factory reads.
    IImagingFactory* factory = nullptr;
    ASSERT_EQ(CoCreateInstance(CLSID_ImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IImagingFactory,
                               reinterpret_cast<void**>(&factory)),
              S_OK);
    for (const char* logo : {"youku.gif", "tudou.gif", "56.gif", "6cn.gif"}) {
        std::string bytes = ReadHostFile(root.Host(std::string("Quillora/Data/") + logo));
        IImage* image = nullptr;
        ASSERT_EQ(factory->CreateImageFromBuffer(bytes.data(), static_cast<UINT>(bytes.size()), BufferDisposalFlagNone,
                                                 &image),
                  S_OK)
            << logo;
        ImageInfo info{};
        image->GetImageInfo(&info);
        EXPECT_EQ(info.Width, 140u) << logo;
        EXPECT_EQ(info.Height, 60u) << logo;
        image->Release();
    }
    factory->Release();
    ReleaseImages();
    ReleaseThemeResources();
}

TEST(ShippedArt, TheProgramCarriesItsOwnImages) {
    ReleaseImages();
    RegisterProgramArt();
    HMODULE program = GetModuleHandleW(nullptr);
    for (UINT id = FirstProgramImage; id <= LastProgramImage; ++id)
        EXPECT_NE(LoadImage(program, id, ImageWithBitmap), nullptr) << id;
    EXPECT_EQ(ImageSize(LoadImage(program, 1005, ImageWithBitmap)).cx, 480) << "the banner spans the window";
    ReleaseImages();
}

} // namespace
