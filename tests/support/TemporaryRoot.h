#pragma once
// A fresh device root in a temporary directory for one test, removed afterwards.

#include <filesystem>
#include <string>

class TemporaryRoot {
public:
    enum class Image { Copied, None };

    explicit TemporaryRoot(Image image = Image::Copied);
    ~TemporaryRoot();
    TemporaryRoot(const TemporaryRoot&) = delete;
    TemporaryRoot& operator=(const TemporaryRoot&) = delete;

    const std::filesystem::path& Path() const { return m_path; }
    // The host path of a device path such as "Quillora/Data/Setting.ini".
    std::filesystem::path Host(const std::string& relative) const { return m_path / relative; }
    // The host file of a device path the program names, such as a request's output path.
    std::filesystem::path HostOf(const std::wstring& devicePath) const;

private:
    std::filesystem::path m_path;
};

std::string ReadHostFile(const std::filesystem::path& file);
void WriteHostFile(const std::filesystem::path& file, const std::string& bytes);
