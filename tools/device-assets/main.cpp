// device-assets: the parts of the device image the build makes.
//   device-assets pack OUT ID=FILE...   a resource pack of the files as RT_RCDATA resources
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

int Pack(const std::filesystem::path& out, const std::vector<std::string>& entries) {
    std::list<std::string> contents; // keeps the bytes the entries point to
    std::vector<platform::ResourceEntry> resources;
    for (const std::string& entry : entries) {
        std::size_t equals = entry.find('=');
        if (equals == std::string::npos)
            return 2;
        std::ifstream in(entry.substr(equals + 1), std::ios::binary);
        if (!in) {
            std::fprintf(stderr, "cannot read %s\n", entry.substr(equals + 1).c_str());
            return 1;
        }
        contents.emplace_back((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        auto id = static_cast<DWORD>(std::strtoul(entry.c_str(), nullptr, 10));
        resources.push_back({10, id, 0, contents.back()});
    }
    std::error_code error;
    std::filesystem::create_directories(out.parent_path(), error);
    return platform::ReplaceHostFile(out, platform::ResourcePackBytes(resources)) ? 0 : 1;
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
    std::fprintf(stderr, "usage: device-assets pack OUT ID=FILE... | sounds OUTDIR | gif OUT IN.png\n");
    return 2;
}
