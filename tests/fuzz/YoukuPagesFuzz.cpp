#include "FuzzTargets.h"

#include "convert/YoukuPages.h"
#include "fetch/ScriptedCoreUi.h"
#include "platform/fs/DeviceRoot.h"
#include "platform/fs/FileApi.h"
#include "settings/ProgramFolder.h"

#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

// A device root of its own for the whole run, removed at exit.
struct ScratchRoot {
    ScratchRoot() : path(std::filesystem::temp_directory_path() / ("quillora-fuzz-" + std::to_string(::getpid()))) {
        std::filesystem::create_directories(path);
        platform::MountDeviceRoot(path);
        CreateDirectoryW(L"\\Quillora", nullptr);
        CreateProgramFolders();
    }
    ~ScratchRoot() {
        std::error_code error;
        std::filesystem::remove_all(path, error);
    }
    std::filesystem::path path;
};

void UseScratchRoot() { static ScratchRoot root; }

} // namespace

int FuzzYoukuPages(const std::uint8_t* data, std::size_t size) {
    UseScratchRoot();
    std::string page(reinterpret_cast<const char*>(data), size);
    for (bool (*build)(NavigationRequest&) :
         {&BuildYoukuVideoSearch, &BuildYoukuPlaylistSearch, &BuildYoukuPlaylist, &BuildYoukuChannel}) {
        ScriptedCoreUi ui;
        NavigationRequest request(ui);
        request.SetProviderTag(L"youku");
        request.AcceptPage(page, NavigationRequest::FetchMode::Parse);
        build(request);
        DeleteFileW(request.OutputPath().c_str());
    }
    return 0;
}
