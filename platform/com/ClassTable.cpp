// The classes CoCreateInstance knows: the few the program creates.

#include "platform/com/Com.h"
#include "platform/com/Imaging.h"

namespace {

struct ComClass {
    CLSID id;
    HRESULT (*create)(IUnknown** object);
};

const ComClass Classes[] = {
    {CLSID_ImagingFactory, &platform::CreateImagingFactory},
};

} // namespace

HRESULT CoCreateInstance(REFCLSID classId, IUnknown* outer, DWORD context, REFIID iid, void** object) {
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (outer)
        return CLASS_E_NOAGGREGATION;
    if (!(context & CLSCTX_INPROC_SERVER))
        return REGDB_E_CLASSNOTREG;
    for (const ComClass& known : Classes) {
        if (!(known.id == classId))
            continue;
        IUnknown* made = nullptr;
        if (HRESULT result = known.create(&made); FAILED(result))
            return result;
        HRESULT result = made->QueryInterface(iid, object);
        made->Release();
        return result;
    }
    return REGDB_E_CLASSNOTREG;
}
