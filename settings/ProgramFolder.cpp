#include "settings/ProgramFolder.h"

#include "platform/fs/FileApi.h"

std::wstring ProgramFolderPath(std::wstring_view relative) {
    wchar_t module[MAX_PATH + 1] = {};
    DWORD length = GetModuleFileNameW(nullptr, module, MAX_PATH);
    std::wstring folder(module, length);
    // The search stops at index 1: a path whose only backslash leads it keeps it.
    for (std::size_t i = folder.size(); i-- > 1;) {
        if (folder[i] == L'\\') {
            folder.resize(i);
            break;
        }
    }
    return folder + std::wstring(relative);
}

void CreateProgramFolders() {
    for (const wchar_t* folder : {L"\\Temp", L"\\Favorite"}) {
        std::wstring path = ProgramFolderPath(folder);
        if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES)
            CreateDirectoryW(path.c_str(), nullptr);
    }
}
