#pragma once
// An open device file that closes itself, and whole-file replacement through it.

#include "platform/fs/FileApi.h"

#include <string>

namespace platform {

class FileHandle {
public:
    explicit FileHandle(HANDLE handle) : m_handle(handle) {}
    ~FileHandle() {
        if (m_handle != INVALID_HANDLE_VALUE)
            CloseHandle(m_handle);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;

    bool IsOpen() const { return m_handle != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return m_handle; }

private:
    HANDLE m_handle;
};

// Writes the bytes to `temporary`, makes them durable and renames that over `path`, so
// that readers see the old file or the new one, never a part. On failure the old file
// is left as it was and the temporary one removed.
bool ReplaceFileContents(const std::wstring& path, const std::wstring& temporary, const std::string& bytes);

} // namespace platform
