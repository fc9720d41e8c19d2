#include "app/ProviderList.h"

#include "convert/ProviderHosts.h"
#include "platform/base/Utf8.h"
#include "platform/com/Imaging.h"
#include "platform/fs/FileHandle.h"
#include "platform/gdi/GdiApi.h"
#include "platform/gdi/TextApi.h"
#include "settings/ProgramFolder.h"
#include "toolkit/GdiGuards.h"
#include "toolkit/Image.h"
#include "toolkit/Theme.h"
#include "toolkit/ToolkitImages.h"

#include <algorithm>
#include <string>

namespace {

constexpr int MarkWidth = 80;
constexpr int NameLeft = 170;
constexpr int LogoLeft = 10, LogoRight = 150;
constexpr UINT NameFormat = DT_END_ELLIPSIS | DT_SINGLELINE | DT_VCENTER;
// The logos are a few kilobytes; anything far larger is no logo.
constexpr DWORD LargestLogo = 1 << 20;

std::wstring Address(HostRole role, const wchar_t* path) { return platform::WideFromUtf8(AddressOf(role)) + path; }

// The whole file, or nothing when it cannot be read.
std::string FileBytes(const std::wstring& path) {
    platform::FileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsOpen())
        return {};
    DWORD high = 0;
    DWORD size = GetFileSize(file.Get(), &high);
    if (size == INVALID_FILE_SIZE || high != 0 || size == 0 || size > LargestLogo)
        return {};
    std::string bytes(size, '\0');
    DWORD read = 0;
    if (!ReadFile(file.Get(), bytes.data(), size, &read, nullptr) || read != size)
        return {};
    return bytes;
}

// At its own size in the middle of `area`.
void DrawCentred(const ToolkitImage* image, HDC dc, const RECT& area) {
    SIZE size = ImageSize(image);
    int x = area.left + (area.right - area.left - size.cx) / 2, y = area.top + (area.bottom - area.top - size.cy) / 2;
    DrawImage(image, dc, RECT{x, y, x + size.cx, y + size.cy}, false, false);
}

// As large as `area` holds it with its proportions kept, in the middle.
RECT Fitted(const RECT& area, UINT width, UINT height) {
    long long areaWidth = area.right - area.left, areaHeight = area.bottom - area.top;
    if (width == 0 || height == 0 || areaWidth <= 0 || areaHeight <= 0)
        return area;
    long long fittedWidth = areaWidth, fittedHeight = areaHeight;
    if (areaWidth * height > areaHeight * width)
        fittedWidth = areaHeight * width / height;
    else
        fittedHeight = areaWidth * height / width;
    auto left = static_cast<LONG>(area.left + (areaWidth - fittedWidth) / 2);
    auto top = static_cast<LONG>(area.top + (areaHeight - fittedHeight) / 2);
    return RECT{left, top, left + static_cast<LONG>(fittedWidth), top + static_cast<LONG>(fittedHeight)};
}

} // namespace

std::vector<ProviderEntry> ProviderTable() {
    using enum HostRole;
    return {
        {L"优酷网", L"\\Data\\youku.gif", Address(YoukuSearch, L"/search_video/q_"),
         Address(YoukuSearch, L"/search_playlist/q_"), Address(YoukuMain, L"/v_showlist/")},
        {L"土豆网", L"\\Data\\tudou.gif", Address(TudouSearch, L"/isearch/"), Address(TudouSearch, L"/psearch/"),
         Address(TudouMain, L"/top/")},
        {L"56网", L"\\Data\\56.gif", Address(FiveSixSearch, L"/index?key="),
         Address(FiveSixSearch, L"/index?type=album&key="), Address(FiveSixSearch, L"/videolist-type-hot.html")},
        {L"六间房", L"\\Data\\6cn.gif", Address(SixCn, L"/search.php?t=v&k="), Address(SixCn, L"/search.php?t=p&k="),
         Address(SixCn, L"/videos/")},
    };
}

void ProviderList::ReleaseImage::operator()(IImage* image) const {
    if (image)
        image->Release();
}

ProviderList::ProviderList() = default;
ProviderList::~ProviderList() = default;

int ProviderList::AddProvider(ProviderEntry entry) {
    m_entries.push_back(std::make_unique<ProviderEntry>(std::move(entry)));
    const ProviderEntry* added = m_entries.back().get();
    return AddItem(added->name.c_str(), reinterpret_cast<std::uintptr_t>(added));
}

void ProviderList::RemoveItem(int index) {
    const ProviderEntry* entry = Provider(index);
    if (!entry)
        return;
    UiList::RemoveItem(index);
    std::erase_if(m_entries, [entry](const auto& owned) { return owned.get() == entry; });
}

void ProviderList::RemoveAll() {
    UiList::RemoveAll();
    m_entries.clear();
}

const ProviderEntry* ProviderList::Provider(int index) const {
    const UiListItem* item = GetItem(index);
    return item ? reinterpret_cast<const ProviderEntry*>(item->data) : nullptr;
}

void ProviderList::DrawItem(HDC dc, int index, const RECT& rect) {
    bool selected = index == GetSelectedIndex();
    if (selected)
        DrawSelection(dc, rect);
    UINT mark = selected ? MarkChosenImage : MarkNotChosenImage;
    DrawCentred(LoadImage(GetResourceModule(), mark, ImageWithBitmap), dc,
                RECT{rect.right - MarkWidth, rect.top, rect.right, rect.bottom});
    if (const UiListItem* item = GetItem(index)) {
        RECT name{rect.left + NameLeft, rect.top, rect.right - MarkWidth, rect.bottom};
        SelectedObject font(dc, TextFont());
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, m_textColour);
        DrawTextW(dc, item->text.C_Str(), -1, &name, NameFormat);
    }
    if (const ProviderEntry* entry = Provider(index))
        DrawLogo(dc, entry->logoPath, RECT{rect.left + LogoLeft, rect.top, rect.left + LogoRight, rect.bottom});
}

IImage* ProviderList::FindLogo(const std::wstring& logoPath) {
    if (auto found = m_logos.find(logoPath); found != m_logos.end())
        return found->second.image.get();
    LoadedLogo& logo = m_logos[logoPath];
    logo.bytes = FileBytes(ProgramFolderPath(logoPath));
    IImagingFactory* factory = nullptr;
    if (logo.bytes.empty() || FAILED(CoCreateInstance(CLSID_ImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                                      IID_IImagingFactory, reinterpret_cast<void**>(&factory))))
        return nullptr;
    IImage* image = nullptr;
    if (SUCCEEDED(factory->CreateImageFromBuffer(logo.bytes.data(), static_cast<UINT>(logo.bytes.size()),
                                                 BufferDisposalFlagNone, &image)))
        logo.image.reset(image);
    factory->Release();
    return logo.image.get();
}

void ProviderList::DrawLogo(HDC dc, const std::wstring& logoPath, const RECT& area) {
    IImage* image = FindLogo(logoPath);
    ImageInfo info{};
    if (!image || FAILED(image->GetImageInfo(&info)))
        return;
    RECT target = Fitted(area, info.Width, info.Height);
    image->Draw(dc, &target, nullptr);
}
