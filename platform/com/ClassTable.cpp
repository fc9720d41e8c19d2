// The classes CoCreateInstance knows: the few the program creates. The imaging factory
// is built in; a class of another library (the browser control) is registered by it.

#include "platform/com/Com.h"
#include "platform/com/Imaging.h"

#include <mutex>
#include <vector>

namespace {

struct ComClass {
    CLSID id;
    HRESULT (*create)(IUnknown** object);
};

struct Registered {
    std::mutex lock;
    std::vector<ComClass> classes{{CLSID_ImagingFactory, &platform::CreateImagingFactory}};
};

Registered& TheClasses() {
    static Registered& registered = *new Registered;
    return registered;
}

HRESULT (*CreatorOf(REFCLSID classId))(IUnknown**) {
    Registered& registered = TheClasses();
    std::lock_guard guard(registered.lock);
    for (const ComClass& known : registered.classes) {
        if (known.id == classId)
            return known.create;
    }
    return nullptr;
}

} // namespace

namespace platform {

void RegisterComClass(REFCLSID classId, HRESULT (*create)(IUnknown** object)) {
    if (CreatorOf(classId))
        return;
    Registered& registered = TheClasses();
    std::lock_guard guard(registered.lock);
    registered.classes.push_back({classId, create});
}

} // namespace platform

HRESULT CoCreateInstance(REFCLSID classId, IUnknown* outer, DWORD context, REFIID iid, void** object) {
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (outer)
        return CLASS_E_NOAGGREGATION;
    if (!(context & CLSCTX_INPROC_SERVER))
        return REGDB_E_CLASSNOTREG;
    auto create = CreatorOf(classId);
    if (!create)
        return REGDB_E_CLASSNOTREG;
    IUnknown* made = nullptr;
    if (HRESULT result = create(&made); FAILED(result))
        return result;
    HRESULT result = made->QueryInterface(iid, object);
    made->Release();
    return result;
}
