#include "FuzzTargets.h"

#include "convert/ClassifierRules.h"
#include "convert/FiveSixPages.h"
#include "convert/PagedListing.h"
#include "convert/SixCnPages.h"
#include "convert/TudouPages.h"
#include "convert/UrlClassifier.h"
#include "convert/YoukuPages.h"
#include "fetch/ScriptedCoreUi.h"
#include "platform/base/Utf8.h"
#include "platform/fs/DeviceRoot.h"
#include "platform/fs/FileApi.h"
#include "settings/ProgramFolder.h"

#include <cstdlib>
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

int FuzzPages(const std::uint8_t* data, std::size_t size) {
    UseScratchRoot();
    struct Builder {
        const ProviderId& provider;
        bool (*build)(NavigationRequest&);
    };
    static const Builder builders[] = {
        {Provider::Youku, &BuildYoukuVideoSearch},
        {Provider::Youku, &BuildYoukuPlaylistSearch},
        {Provider::Youku, &BuildYoukuPlaylist},
        {Provider::Youku, &BuildYoukuChannel},
        {Provider::Tudou, &BuildTudouVideoSearch},
        {Provider::Tudou, &BuildTudouPlaylistSearch},
        {Provider::Tudou, &BuildTudouTop},
        {Provider::Tudou, &BuildTudouPlaylist},
        {Provider::FiveSix, &BuildFiveSixIndexSearch},
        {Provider::FiveSix, &BuildFiveSixVideoList},
        {Provider::SixCn, &BuildSixCnSearch},
        {Provider::SixCn, &BuildSixCnPlaylist},
        {Provider::SixCn, &BuildSixCnVideos},
    };
    std::string page(reinterpret_cast<const char*>(data), size);
    auto discard = [](const NavigationRequest& request) {
        for (std::size_t page = 1; DeleteFileW(PagePath(request.OutputPath(), page).c_str()); ++page) {
        }
    };
    for (const Builder& builder : builders) {
        ScriptedCoreUi ui;
        NavigationRequest request(ui);
        request.SetProvider(builder.provider);
        request.AcceptPage(page, NavigationRequest::FetchMode::Parse);
        builder.build(request);
        discard(request);
    }
    // The album is built from its data text, downloaded without parsing.
    ScriptedCoreUi ui;
    NavigationRequest request(ui);
    request.SetProvider(Provider::FiveSix);
    request.AcceptPage(page, NavigationRequest::FetchMode::DownloadOnly);
    BuildFiveSixAlbum(request, AlbumAddressOf(L"http://www.56.com/w11/album-aid-1.html"));
    discard(request);
    return 0;
}

int FuzzClassifier(const std::uint8_t* data, std::size_t size) {
    std::string bytes(reinterpret_cast<const char*>(data), size);
    std::wstring url = platform::WideFromUtf8(bytes);
    std::optional<Route> route = RouteFor(url);
    if (route && (route->rule < 1 || route->rule > 17 || route->address.empty()))
        std::abort();
    TudouTableView(url);
    AlbumAddressOf(url);
    return 0;
}
