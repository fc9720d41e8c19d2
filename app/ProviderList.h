#pragma once
// The main window's list of the four video providers: each row shows the provider's
// logo, its name and a mark for the chosen one, and carries the provider's addresses.
// The list owns its rows' entries; a row's entry goes with the row.
//
// Lives on the main window's thread, like every control.

#include "toolkit/UiList.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

struct IImage;

struct ProviderEntry {
    std::wstring name;
    // Relative to the program folder, beginning with a backslash.
    std::wstring logoPath;
    // A search term is appended to these as it is.
    std::wstring videoSearch;
    std::wstring albumSearch;
    // Empty: the provider has no ranking to open.
    std::wstring ranking;
};

// The providers in the list's order.
std::vector<ProviderEntry> ProviderTable();

class ProviderList : public UiList {
public:
    ProviderList();
    ~ProviderList() override;

    // Returns the new row's index.
    int AddProvider(ProviderEntry entry);
    // These hide UiList's so that a row's entry goes with it.
    void RemoveItem(int index);
    void RemoveAll();
    // Null for an index outside the rows.
    const ProviderEntry* Provider(int index) const;

    void DrawItem(HDC dc, int index, const RECT& rect) override;

private:
    struct ReleaseImage {
        void operator()(IImage* image) const;
    };
    struct LoadedLogo {
        // The decoder may read them for as long as the image lives.
        std::string bytes;
        std::unique_ptr<IImage, ReleaseImage> image;
    };

    // Decoded on the first paint of its row and kept; null when the file is missing or
    // is no image, which is not tried again.
    IImage* FindLogo(const std::wstring& logoPath);
    void DrawLogo(HDC dc, const std::wstring& logoPath, const RECT& area);

    std::vector<std::unique_ptr<ProviderEntry>> m_entries;
    std::map<std::wstring, LoadedLogo> m_logos;
};
