#include "support/TemporaryRoot.h"

#include "platform/fs/DeviceRoot.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

TemporaryRoot::TemporaryRoot(Image image) {
    std::string pattern = (fs::temp_directory_path() / "quillora-test-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("cannot create a temporary device root");
    m_path = pattern;
    if (image == Image::Copied)
        platform::SetDeviceRoot(m_path);
    else
        platform::MountDeviceRoot(m_path);
    platform::DeviceRoot();
}

TemporaryRoot::~TemporaryRoot() {
    std::error_code error;
    fs::remove_all(m_path, error);
}

fs::path TemporaryRoot::HostOf(const std::wstring& devicePath) const {
    std::optional<fs::path> host = platform::HostPathFromDevice(devicePath);
    if (!host || host->string().rfind(m_path.string(), 0) != 0)
        throw std::runtime_error("not a path inside the temporary device root");
    return *host;
}

std::string ReadHostFile(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void WriteHostFile(const fs::path& file, const std::string& bytes) {
    fs::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << bytes;
}
