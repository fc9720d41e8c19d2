// device-assets: the parts of the device image the build makes.
//   device-assets pack OUT ENTRY...     a resource pack of the entries
//   device-assets embed OUT.cpp ENTRY...
//                                       a C++ source whose RegisterProgramArt() registers the
//                                       entries as the program's own resources
// An entry is ID=FILE.png, stored as it is as an RT_RCDATA resource, or bitmap:ID=FILE.png,
// stored as a 1-bit RT_BITMAP resource set where the picture is at least half opaque. A
// --language=N before the entries gives them that language (0 otherwise).
//   device-assets sounds OUTDIR         the key-click and switch sounds, synthesized
//   device-assets gif OUT IN.png        a PNG laid on white and written as a GIF
// Exits 0 when everything was written, 1 otherwise, 2 for a command not understood.

#include "platform/device/Module.h"
#include "platform/fs/WholeFile.h"

#include <gif_lib.h>
#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <list>
#include <string>
#include <vector>

namespace {

constexpr int SampleRate = 22050;

void Little(std::string& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

// 16-bit mono PCM in a RIFF/WAVE file.
std::string Wave(const std::vector<double>& samples) {
    std::string data;
    for (double sample : samples)
        Little(
            data,
            static_cast<std::uint16_t>(static_cast<std::int16_t>(std::lround(std::clamp(sample, -1.0, 1.0) * 32000))),
            2);
    std::string out = "RIFF";
    Little(out, static_cast<std::uint32_t>(36 + data.size()), 4);
    out += "WAVEfmt ";
    Little(out, 16, 4);
    Little(out, 1, 2); // PCM
    Little(out, 1, 2); // mono
    Little(out, SampleRate, 4);
    Little(out, SampleRate * 2, 4);
    Little(out, 2, 2);
    Little(out, 16, 2);
    out += "data";
    Little(out, static_cast<std::uint32_t>(data.size()), 4);
    return out + data;
}

// A short tone that dies away: `hertz` for `seconds`, starting at `level`.
void Tick(std::vector<double>& samples, double start, double hertz, double seconds, double level) {
    std::size_t first = static_cast<std::size_t>(start * SampleRate);
    std::size_t count = static_cast<std::size_t>(seconds * SampleRate);
    if (samples.size() < first + count)
        samples.resize(first + count, 0.0);
    for (std::size_t i = 0; i < count; ++i) {
        double t = static_cast<double>(i) / SampleRate;
        samples[first + i] += level * std::exp(-t * 5.0 / seconds) * std::sin(2 * M_PI * hertz * t);
    }
}

int Sounds(const std::filesystem::path& folder) {
    std::vector<double> click, toggle;
    Tick(click, 0.0, 2400, 0.012, 0.6);
    Tick(click, 0.0, 5200, 0.006, 0.25);
    Tick(toggle, 0.0, 1500, 0.020, 0.55);
    Tick(toggle, 0.035, 2100, 0.025, 0.45);
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    bool written = platform::ReplaceHostFile(folder / "keyloud.wav", Wave(click)) &&
                   platform::ReplaceHostFile(folder / "switch.wav", Wave(toggle));
    return written ? 0 : 1;
}

std::string ReadHostFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// A bottom-up 1-bit DIB (header, two palette entries, rows padded to 32 bits) of the
// picture's opaque part; empty when the PNG cannot be read.
std::string MaskBitmap(const std::string& path) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str()))
        return {};
    image.format = PNG_FORMAT_GA;
    std::vector<unsigned char> pixels(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr))
        return {};
    std::uint32_t width = image.width, height = image.height, stride = (width + 31) / 32 * 4;
    std::string out;
    Little(out, 40, 4);
    Little(out, width, 4);
    Little(out, height, 4);
    Little(out, 1, 2); // planes
    Little(out, 1, 2); // bits per pixel
    for (int word = 0; word < 6; ++word)
        Little(out, word == 4 ? 2 : 0, 4); // BI_RGB, sizes, resolutions, two colours used
    Little(out, 0x000000, 4);
    Little(out, 0xFFFFFF, 4);
    for (std::uint32_t row = height; row-- > 0;) {
        std::string bits(stride, '\0');
        for (std::uint32_t x = 0; x < width; ++x)
            if (pixels[2 * (static_cast<std::size_t>(row) * width + x) + 1] >= 128)
                bits[x / 8] = static_cast<char>(bits[x / 8] | (0x80 >> (x % 8)));
        out += bits;
    }
    return out;
}

struct Contents {
    std::list<std::string> bytes; // keeps the bytes the resources point to
    std::vector<platform::ResourceEntry> resources;
};

// The resources of the entries; false, with a line to stderr, when one cannot be made.
bool ReadEntries(const std::vector<std::string>& entries, Contents& contents) {
    DWORD language = 0;
    for (const std::string& entry : entries) {
        if (entry.starts_with("--language=")) {
            language = static_cast<DWORD>(std::strtoul(entry.c_str() + 11, nullptr, 10));
            continue;
        }
        bool bitmap = entry.starts_with("bitmap:");
        std::string rest = bitmap ? entry.substr(7) : entry;
        std::size_t equals = rest.find('=');
        std::string path = equals == std::string::npos ? std::string() : rest.substr(equals + 1);
        std::string bytes = bitmap ? MaskBitmap(path) : ReadHostFile(path);
        if (bytes.empty()) {
            std::fprintf(stderr, "cannot make a resource of %s\n", entry.c_str());
            return false;
        }
        contents.bytes.push_back(std::move(bytes));
        auto id = static_cast<DWORD>(std::strtoul(rest.c_str(), nullptr, 10));
        contents.resources.push_back({bitmap ? 2u : 10u, id, language, contents.bytes.back()});
    }
    return true;
}

int Pack(const std::filesystem::path& out, const std::vector<std::string>& entries) {
    Contents contents;
    if (!ReadEntries(entries, contents))
        return 1;
    std::error_code error;
    std::filesystem::create_directories(out.parent_path(), error);
    return platform::ReplaceHostFile(out, platform::ResourcePackBytes(contents.resources)) ? 0 : 1;
}

int Embed(const std::filesystem::path& out, const std::vector<std::string>& entries) {
    Contents contents;
    if (!ReadEntries(entries, contents))
        return 1;
    std::string source = "// Made by device-assets embed from art/program; not to be edited.\n"
                         "#include \"platform/device/Module.h\"\n\nnamespace {\n";
    std::string list;
    for (const platform::ResourceEntry& resource : contents.resources) {
        std::string name = "resource" + std::to_string(resource.id);
        source += "const unsigned char " + name + "[] = {";
        for (std::size_t i = 0; i < resource.bytes.size(); ++i)
            source += (i % 24 ? "" : "\n    ") + std::to_string(static_cast<unsigned char>(resource.bytes[i])) + ",";
        source += "\n};\n";
        list += "        {" + std::to_string(resource.type) + ", " + std::to_string(resource.id) + ", " +
                std::to_string(resource.language) + ", {reinterpret_cast<const char*>(" + name + "), sizeof " + name +
                "}},\n";
    }
    source += "} // namespace\n\nvoid RegisterProgramArt() {\n    platform::RegisterProgramResources({\n" + list +
              "    });\n}\n";
    std::error_code error;
    std::filesystem::create_directories(out.parent_path(), error);
    return platform::ReplaceHostFile(out, source) ? 0 : 1;
}

int AppendToString(GifFileType* file, const GifByteType* bytes, int count) {
    static_cast<std::string*>(file->UserData)->append(reinterpret_cast<const char*>(bytes), count);
    return count;
}

// The PNG composed over white, its colours reduced to a palette of 256 by giflib.
int Gif(const std::filesystem::path& out, const std::filesystem::path& in) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, in.c_str()))
        return 1;
    image.format = PNG_FORMAT_RGB;
    std::vector<unsigned char> rgb(PNG_IMAGE_SIZE(image));
    png_color white{255, 255, 255};
    if (!png_image_finish_read(&image, &white, rgb.data(), 0, nullptr))
        return 1;
    unsigned width = image.width, height = image.height;
    std::vector<GifByteType> red(width * height), green(width * height), blue(width * height), indices(width * height);
    for (std::size_t i = 0; i < red.size(); ++i) {
        red[i] = rgb[3 * i];
        green[i] = rgb[3 * i + 1];
        blue[i] = rgb[3 * i + 2];
    }
    int colours = 256;
    std::vector<GifColorType> palette(256);
    if (GifQuantizeBuffer(width, height, &colours, red.data(), green.data(), blue.data(), indices.data(),
                          palette.data()) != GIF_OK)
        return 1;
    std::string bytes;
    int error = 0;
    GifFileType* file = EGifOpen(&bytes, &AppendToString, &error);
    ColorMapObject* map = file ? GifMakeMapObject(256, palette.data()) : nullptr;
    bool written =
        map && EGifPutScreenDesc(file, static_cast<int>(width), static_cast<int>(height), 8, 0, map) == GIF_OK &&
        EGifPutImageDesc(file, 0, 0, static_cast<int>(width), static_cast<int>(height), false, nullptr) == GIF_OK;
    for (unsigned y = 0; written && y < height; ++y)
        written =
            EGifPutLine(file, indices.data() + static_cast<std::size_t>(y) * width, static_cast<int>(width)) == GIF_OK;
    GifFreeMapObject(map);
    if (file)
        written = EGifCloseFile(file, &error) == GIF_OK && written;
    std::error_code made;
    std::filesystem::create_directories(out.parent_path(), made);
    return written && platform::ReplaceHostFile(out, bytes) ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> words(argv + 1, argv + argc);
    if (words.size() == 2 && words[0] == "sounds")
        return Sounds(words[1]);
    if (words.size() == 3 && words[0] == "gif")
        return Gif(words[1], words[2]);
    if (words.size() >= 2 && words[0] == "pack")
        return Pack(words[1], std::vector<std::string>(words.begin() + 2, words.end()));
    if (words.size() >= 2 && words[0] == "embed")
        return Embed(words[1], std::vector<std::string>(words.begin() + 2, words.end()));
    std::fprintf(stderr,
                 "usage: device-assets pack OUT ENTRY... | embed OUT.cpp ENTRY... | sounds OUTDIR | gif OUT IN.png\n");
    return 2;
}
