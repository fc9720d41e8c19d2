#include "app/FileDialog.h"

#include "app/FileDialogWnd.h"
#include "app/SideWindow.h"

#include <atomic>
#include <cwchar>
#include <string>

namespace {

// HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER).
constexpr HRESULT BufferTooSmall = static_cast<HRESULT>(0x8007007A);

class FileDialog final : public IFileChoiceDialog, public IFolderChoiceDialog {
public:
    HRESULT QueryInterface(REFIID iid, void** object) override {
        if (!object)
            return E_POINTER;
        // Both choices derive from the component's interface: the file choice's copy
        // stands for it and for IUnknown.
        if (iid == IID_IUnknown)
            *object = static_cast<IUnknown*>(static_cast<IFileChoiceDialog*>(this));
        else if (iid == IDeviceFileDialog::Iid)
            *object = static_cast<IDeviceFileDialog*>(static_cast<IFileChoiceDialog*>(this));
        else if (iid == IFileChoiceDialog::Iid)
            *object = static_cast<IFileChoiceDialog*>(this);
        else if (iid == IFolderChoiceDialog::Iid)
            *object = static_cast<IFolderChoiceDialog*>(this);
        else {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG AddRef() override { return ++m_references; }
    ULONG Release() override {
        ULONG left = --m_references;
        if (left == 0)
            delete this;
        return left;
    }

    HRESULT SetOwner(HWND owner) override {
        m_owner = owner;
        return S_OK;
    }
    HRESULT SetInitialFolder(LPCWSTR folder) override {
        m_initialFolder = folder ? folder : L"";
        return S_OK;
    }
    HRESULT SetMode(DWORD mode) override {
        m_mode = mode;
        return S_OK;
    }
    HRESULT SetFilter(LPCWSTR filter) override {
        m_filter = filter ? filter : L"";
        return S_OK;
    }

    HRESULT Show(int* result) override {
        if (!result)
            return E_POINTER;
        *result = FileDialogCancelled;
        m_chosen.clear();
        FileDialogWnd window(m_mode, m_initialFolder, m_filter);
        int ended = RunSideWindow(window, m_owner);
        if (ended == 0)
            return E_FAIL;
        if (ended == FileDialogWnd::ResultChosen && !window.ChosenPath().empty()) {
            m_chosen = window.ChosenPath();
            m_chosenFile = window.ChoosesFiles();
            *result = FileDialogChosen;
        }
        return S_OK;
    }

    HRESULT GetFileName(LPWSTR buffer, DWORD characters) override { return Hand(buffer, characters, true); }
    HRESULT GetFolder(LPWSTR buffer, DWORD characters) override { return Hand(buffer, characters, false); }

private:
    ~FileDialog() = default;

    HRESULT Hand(LPWSTR buffer, DWORD characters, bool file) const {
        if (!buffer)
            return E_POINTER;
        if (m_chosen.empty() || m_chosenFile != file)
            return E_UNEXPECTED;
        // A path cut short would name another file, or a folder above the one chosen:
        // the cache cleaning would then empty that.
        if (m_chosen.size() + 1 > characters)
            return BufferTooSmall;
        std::wmemcpy(buffer, m_chosen.c_str(), m_chosen.size() + 1);
        return S_OK;
    }

    std::atomic<ULONG> m_references{1};
    HWND m_owner = nullptr;
    std::wstring m_initialFolder = L"\\";
    std::wstring m_filter;
    DWORD m_mode = FileDialogFolders | FileDialogFiles;
    std::wstring m_chosen;
    bool m_chosenFile = false;
};

} // namespace

HRESULT CreateFileDialog(IUnknown** object) {
    if (!object)
        return E_POINTER;
    *object = static_cast<IUnknown*>(static_cast<IFileChoiceDialog*>(new FileDialog));
    return S_OK;
}

void RegisterFileDialogClass() { platform::RegisterComClass(CLSID_DeviceFileDialog, &CreateFileDialog); }
