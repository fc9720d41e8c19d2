#pragma once
// The device's file dialog component: one object behind CoCreateInstance that answers for
// three interfaces, the component's own and the two the settings window asks it for, the
// file choice and the folder choice. Showing it runs FileDialogWnd modally over the owner
// window, and what the user chose stays with the object until it is shown again.
//
// An object is made, set, shown and released on the user-interface thread; its references
// are counted atomically, like the platform's objects.

#include "platform/com/Com.h"

constexpr CLSID CLSID_DeviceFileDialog = {0x8A868F9F, 0xFA9F, 0x441D, {0x8C, 0xB5, 0x79, 0x05, 0xA7, 0x41, 0xE1, 0xF2}};

// What the dialog lists: with files, a file is chosen (the folders lead to them);
// without, the folder shown is the choice.
constexpr DWORD FileDialogFolders = 2;
constexpr DWORD FileDialogFiles = 4;

// Show's results.
constexpr int FileDialogChosen = 1;
constexpr int FileDialogCancelled = 2;

struct IDeviceFileDialog : IUnknown {
    static constexpr IID Iid = {0x18E80BB0, 0x48C7, 0x4755, {0x99, 0xE5, 0x9F, 0xEF, 0xDA, 0x27, 0xC1, 0xD8}};
    virtual HRESULT SetOwner(HWND owner) = 0;
    // A device path; a folder that is not there gives way to the nearest one above it.
    virtual HRESULT SetInitialFolder(LPCWSTR folder) = 0;
    virtual HRESULT SetMode(DWORD mode) = 0;
    // `result`: FileDialogChosen or FileDialogCancelled. Fails when the window cannot be made.
    virtual HRESULT Show(int* result) = 0;

protected:
    ~IDeviceFileDialog() = default;
};

struct IFileChoiceDialog : IDeviceFileDialog {
    static constexpr IID Iid = {0xB0143E61, 0x0AC0, 0x4A3E, {0x88, 0x3E, 0xB6, 0x87, 0x72, 0x7D, 0x71, 0xFF}};
    // Patterns such as "*.exe", several separated by ";"; empty: every file.
    virtual HRESULT SetFilter(LPCWSTR filter) = 0;
    // The chosen file's full device path with its terminator into `characters` places;
    // a path that does not fit is not cut short (it would name another file) but refused.
    virtual HRESULT GetFileName(LPWSTR buffer, DWORD characters) = 0;

protected:
    ~IFileChoiceDialog() = default;
};

struct IFolderChoiceDialog : IDeviceFileDialog {
    static constexpr IID Iid = {0x355AF996, 0x8F85, 0x46C8, {0x8D, 0x13, 0x80, 0x88, 0x59, 0xA3, 0xF4, 0x9A}};
    // As GetFileName, for the chosen folder.
    virtual HRESULT GetFolder(LPWSTR buffer, DWORD characters) = 0;

protected:
    ~IFolderChoiceDialog() = default;
};

// A new dialog object, as the class table makes it.
HRESULT CreateFileDialog(IUnknown** object);
// Puts CLSID_DeviceFileDialog into the class table; the program calls it once at start.
void RegisterFileDialogClass();
