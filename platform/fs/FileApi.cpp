#include "platform/fs/FileApi.h"

#include "platform/base/LastError.h"
#include "platform/fs/DeviceRoot.h"
#include "platform/fs/DirectoryIndex.h"

#include <cerrno>
#include <cstring>
#include <cwchar>
#include <fcntl.h>
#include <filesystem>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;
using platform::HandleKind;

namespace {

class FileObject : public platform::HandleObject {
public:
    FileObject(int fd, DWORD access) : HandleObject(HandleKind::File), m_fd(fd), m_access(access) {}
    ~FileObject() override { ::close(m_fd); }

    int Fd() const { return m_fd; }
    bool CanRead() const { return m_access & GENERIC_READ; }
    bool CanWrite() const { return m_access & GENERIC_WRITE; }

private:
    int m_fd;
    DWORD m_access;
};

// Resolves a device path; sets the error for a name the device could not hold.
std::optional<fs::path> Resolve(LPCWSTR deviceName) {
    if (!deviceName || !*deviceName) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return std::nullopt;
    }
    DWORD problem = ERROR_INVALID_NAME;
    auto host = platform::HostPathFromDevice(deviceName, &problem);
    if (!host)
        SetLastError(problem);
    return host;
}

bool IsDirectory(const fs::path& path) {
    std::error_code error;
    return fs::is_directory(path, error);
}

// A missing file in a missing folder is "path not found", as on the device.
DWORD MissingError(const fs::path& host) {
    std::error_code error;
    return fs::is_directory(host.parent_path(), error) ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND;
}

std::shared_ptr<FileObject> LookupFile(HANDLE file) {
    return platform::LookupHandleAs<FileObject>(file, HandleKind::File);
}

int OpenFlags(DWORD access, DWORD creation) {
    int flags = O_CLOEXEC;
    if ((access & GENERIC_READ) && (access & GENERIC_WRITE))
        flags |= O_RDWR;
    else if (access & GENERIC_WRITE)
        flags |= O_WRONLY;
    else
        flags |= O_RDONLY;
    switch (creation) {
    case CREATE_NEW: return flags | O_CREAT | O_EXCL;
    case CREATE_ALWAYS: return flags | O_CREAT | O_TRUNC;
    case OPEN_ALWAYS: return flags | O_CREAT;
    case TRUNCATE_EXISTING: return flags | O_TRUNC;
    default: return flags;
    }
}

} // namespace

HANDLE CreateFileW(LPCWSTR fileName, DWORD desiredAccess, DWORD, LPVOID, DWORD creationDisposition, DWORD, HANDLE) {
    if (creationDisposition < CREATE_NEW || creationDisposition > TRUNCATE_EXISTING ||
        (creationDisposition == TRUNCATE_EXISTING && !(desiredAccess & GENERIC_WRITE))) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    auto host = Resolve(fileName);
    if (!host)
        return INVALID_HANDLE_VALUE;
    std::error_code error;
    fs::file_status status = fs::status(*host, error);
    if (fs::is_directory(status)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    bool existed = fs::exists(status);
    // Only a call that makes the file changes its directory (opening an existing file,
    // the common case, costs nothing more).
    std::optional<platform::DirectoryChange> change;
    if (!existed)
        change.emplace(*host);
    int fd = ::open(host->c_str(), OpenFlags(desiredAccess, creationDisposition), 0644);
    if (fd < 0) {
        DWORD code = errno == ENOENT ? MissingError(*host) : platform::Win32ErrorFromErrno(errno);
        SetLastError(errno == EEXIST ? ERROR_FILE_EXISTS : code);
        return INVALID_HANDLE_VALUE;
    }
    if (change)
        change->Added();
    bool reportsExisting = creationDisposition == CREATE_ALWAYS || creationDisposition == OPEN_ALWAYS;
    SetLastError(reportsExisting && existed ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
    return platform::InsertHandle(std::make_shared<FileObject>(fd, desiredAccess));
}

BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD bytesToRead, LPDWORD bytesRead, LPVOID) {
    if (bytesRead)
        *bytesRead = 0;
    auto object = LookupFile(file);
    if (!object)
        return FALSE;
    if (!object->CanRead())
        return platform::FailWith(ERROR_ACCESS_DENIED);
    if (!buffer && bytesToRead)
        return platform::FailWith(ERROR_INVALID_PARAMETER);
    DWORD total = 0;
    while (total < bytesToRead) {
        ssize_t n = ::read(object->Fd(), static_cast<char*>(buffer) + total, bytesToRead - total);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return platform::FailWithErrno();
        if (n == 0)
            break;
        total += static_cast<DWORD>(n);
    }
    if (bytesRead)
        *bytesRead = total;
    return TRUE;
}

BOOL WriteFile(HANDLE file, LPCVOID buffer, DWORD bytesToWrite, LPDWORD bytesWritten, LPVOID) {
    if (bytesWritten)
        *bytesWritten = 0;
    auto object = LookupFile(file);
    if (!object)
        return FALSE;
    if (!object->CanWrite())
        return platform::FailWith(ERROR_ACCESS_DENIED);
    if (!buffer && bytesToWrite)
        return platform::FailWith(ERROR_INVALID_PARAMETER);
    DWORD total = 0;
    while (total < bytesToWrite) {
        ssize_t n = ::write(object->Fd(), static_cast<const char*>(buffer) + total, bytesToWrite - total);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            if (bytesWritten)
                *bytesWritten = total;
            return platform::FailWithErrno();
        }
        total += static_cast<DWORD>(n);
    }
    if (bytesWritten)
        *bytesWritten = total;
    return TRUE;
}

DWORD GetFileSize(HANDLE file, LPDWORD fileSizeHigh) {
    auto object = LookupFile(file);
    if (!object)
        return INVALID_FILE_SIZE;
    struct stat info {};
    if (::fstat(object->Fd(), &info) != 0) {
        platform::FailWithErrno();
        return INVALID_FILE_SIZE;
    }
    auto size = static_cast<std::uint64_t>(info.st_size);
    if (fileSizeHigh)
        *fileSizeHigh = static_cast<DWORD>(size >> 32);
    SetLastError(ERROR_SUCCESS);
    return static_cast<DWORD>(size & 0xFFFFFFFFu);
}

DWORD SetFilePointer(HANDLE file, LONG distance, LONG* distanceHigh, DWORD moveMethod) {
    auto object = LookupFile(file);
    if (!object)
        return INVALID_SET_FILE_POINTER;
    static constexpr int Whence[] = {SEEK_SET, SEEK_CUR, SEEK_END};
    if (moveMethod > FILE_END) {
        platform::FailWith(ERROR_INVALID_PARAMETER);
        return INVALID_SET_FILE_POINTER;
    }
    // Without a high half the distance is a signed 32-bit value.
    std::int64_t offset =
        distanceHigh ? static_cast<std::int64_t>((static_cast<std::uint64_t>(static_cast<DWORD>(*distanceHigh)) << 32) |
                                                 static_cast<DWORD>(distance))
                     : distance;
    off_t position = ::lseek(object->Fd(), offset, Whence[moveMethod]);
    if (position < 0) {
        platform::FailWith(errno == EINVAL ? ERROR_INVALID_PARAMETER : platform::Win32ErrorFromErrno(errno));
        return INVALID_SET_FILE_POINTER;
    }
    if (distanceHigh)
        *distanceHigh = static_cast<LONG>(static_cast<std::uint64_t>(position) >> 32);
    SetLastError(ERROR_SUCCESS);
    return static_cast<DWORD>(position & 0xFFFFFFFF);
}

BOOL SetEndOfFile(HANDLE file) {
    auto object = LookupFile(file);
    if (!object)
        return FALSE;
    off_t position = ::lseek(object->Fd(), 0, SEEK_CUR);
    if (position < 0 || ::ftruncate(object->Fd(), position) != 0)
        return platform::FailWithErrno();
    return TRUE;
}

BOOL FlushFileBuffers(HANDLE file) {
    auto object = LookupFile(file);
    if (!object)
        return FALSE;
    return ::fsync(object->Fd()) == 0 ? TRUE : platform::FailWithErrno();
}

BOOL DeleteFileW(LPCWSTR fileName) {
    auto host = Resolve(fileName);
    if (!host)
        return FALSE;
    if (IsDirectory(*host))
        return platform::FailWith(ERROR_ACCESS_DENIED);
    platform::DirectoryChange change(*host);
    if (::unlink(host->c_str()) != 0)
        return platform::FailWith(errno == ENOENT ? MissingError(*host) : platform::Win32ErrorFromErrno(errno));
    change.Removed();
    return TRUE;
}

BOOL MoveFileExW(LPCWSTR existingName, LPCWSTR newName, DWORD flags) {
    auto from = Resolve(existingName);
    auto to = from ? Resolve(newName) : std::nullopt;
    if (!from || !to)
        return FALSE;
    std::error_code error;
    if (!fs::exists(fs::symlink_status(*from, error)))
        return platform::FailWith(MissingError(*from));
    if (fs::exists(fs::symlink_status(*to, error)) && !fs::equivalent(*from, *to, error)) {
        if (!(flags & MOVEFILE_REPLACE_EXISTING) || IsDirectory(*to))
            return platform::FailWith(ERROR_ALREADY_EXISTS);
    }
    bool directory = IsDirectory(*from);
    platform::DirectoryChange leaving(*from), arriving(*to);
    if (::rename(from->c_str(), to->c_str()) != 0)
        return platform::FailWith(errno == ENOENT ? MissingError(*to) : platform::Win32ErrorFromErrno(errno));
    if (directory)
        platform::ForgetDirectory(*from);
    leaving.Removed();
    arriving.Added();
    return TRUE;
}

BOOL MoveFileW(LPCWSTR existingName, LPCWSTR newName) { return MoveFileExW(existingName, newName, 0); }

BOOL CopyFileW(LPCWSTR existingName, LPCWSTR newName, BOOL failIfExists) {
    auto from = Resolve(existingName);
    auto to = from ? Resolve(newName) : std::nullopt;
    if (!from || !to)
        return FALSE;
    std::error_code error;
    if (!fs::is_regular_file(*from, error))
        return platform::FailWith(IsDirectory(*from) ? ERROR_ACCESS_DENIED : MissingError(*from));
    if (fs::exists(*to, error) && failIfExists)
        return platform::FailWith(ERROR_FILE_EXISTS);
    if (IsDirectory(*to))
        return platform::FailWith(ERROR_ACCESS_DENIED);
    platform::DirectoryChange change(*to);
    if (!fs::copy_file(*from, *to, fs::copy_options::overwrite_existing, error))
        return platform::FailWith(error.value() == ENOENT ? MissingError(*to)
                                                          : platform::Win32ErrorFromErrno(error.value()));
    change.Added();
    return TRUE;
}

BOOL CreateDirectoryW(LPCWSTR pathName, LPVOID) {
    auto host = Resolve(pathName);
    if (!host)
        return FALSE;
    platform::DirectoryChange change(*host);
    if (::mkdir(host->c_str(), 0755) != 0)
        return platform::FailWith(errno == ENOENT ? ERROR_PATH_NOT_FOUND : platform::Win32ErrorFromErrno(errno));
    change.Added();
    return TRUE;
}

BOOL RemoveDirectoryW(LPCWSTR pathName) {
    auto host = Resolve(pathName);
    if (!host)
        return FALSE;
    if (*host == platform::DeviceRoot())
        return platform::FailWith(ERROR_ACCESS_DENIED);
    platform::DirectoryChange change(*host);
    if (::rmdir(host->c_str()) != 0)
        return platform::FailWith(errno == ENOENT ? MissingError(*host) : platform::Win32ErrorFromErrno(errno));
    platform::ForgetDirectory(*host);
    change.Removed();
    return TRUE;
}

DWORD GetFileAttributesW(LPCWSTR fileName) {
    auto host = Resolve(fileName);
    if (!host)
        return INVALID_FILE_ATTRIBUTES;
    struct stat info {};
    if (::stat(host->c_str(), &info) != 0) {
        SetLastError(errno == ENOENT ? MissingError(*host) : platform::Win32ErrorFromErrno(errno));
        return INVALID_FILE_ATTRIBUTES;
    }
    DWORD attributes = S_ISDIR(info.st_mode) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE;
    if (!(info.st_mode & S_IWUSR))
        attributes |= FILE_ATTRIBUTE_READONLY;
    return attributes;
}

DWORD GetModuleFileNameW(HMODULE module, LPWSTR fileName, DWORD size) {
    if (module) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    static constexpr wchar_t ProgramFile[] = L"\\Quillora\\Quillora.exe";
    constexpr DWORD Length = sizeof ProgramFile / sizeof ProgramFile[0] - 1;
    if (!fileName || size == 0) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    // Too small a buffer gets the truncated, still terminated, name and the size.
    if (size <= Length) {
        std::wmemcpy(fileName, ProgramFile, size - 1);
        fileName[size - 1] = L'\0';
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return size;
    }
    std::wmemcpy(fileName, ProgramFile, Length + 1);
    SetLastError(ERROR_SUCCESS);
    return Length;
}
