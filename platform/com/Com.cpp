#include "platform/com/Com.h"

#include <cstring>
#include <sys/random.h>

namespace {

struct ThreadApartment {
    int count = 0;
    DWORD mode = 0;
};

thread_local ThreadApartment t_apartment;

} // namespace

HRESULT CoInitializeEx(LPVOID reserved, DWORD coInit) {
    if (reserved || (coInit & ~COINIT_APARTMENTTHREADED) != 0)
        return E_INVALIDARG;
    if (t_apartment.count > 0) {
        if (t_apartment.mode != coInit)
            return RPC_E_CHANGED_MODE;
        ++t_apartment.count;
        return S_FALSE;
    }
    t_apartment.count = 1;
    t_apartment.mode = coInit;
    return S_OK;
}

HRESULT CoInitialize(LPVOID reserved) { return CoInitializeEx(reserved, COINIT_APARTMENTTHREADED); }

void CoUninitialize() {
    if (t_apartment.count > 0)
        --t_apartment.count;
}

HRESULT CoCreateGuid(GUID* guid) {
    if (!guid)
        return E_POINTER;
    BYTE bytes[16];
    std::size_t filled = 0;
    while (filled < sizeof bytes) {
        ssize_t n = ::getrandom(bytes + filled, sizeof bytes - filled, 0);
        if (n < 0)
            return E_FAIL;
        filled += static_cast<std::size_t>(n);
    }
    bytes[6] = static_cast<BYTE>((bytes[6] & 0x0F) | 0x40); // version 4
    bytes[8] = static_cast<BYTE>((bytes[8] & 0x3F) | 0x80); // RFC 4122 variant
    guid->Data1 = static_cast<DWORD>(bytes[0]) << 24 | static_cast<DWORD>(bytes[1]) << 16 |
                  static_cast<DWORD>(bytes[2]) << 8 | bytes[3];
    guid->Data2 = static_cast<WORD>(bytes[4] << 8 | bytes[5]);
    guid->Data3 = static_cast<WORD>(bytes[6] << 8 | bytes[7]);
    std::memcpy(guid->Data4, bytes + 8, 8);
    return S_OK;
}
