#include "platform/device/Module.h"

#include "platform/base/HandleTable.h"
#include "platform/base/LastError.h"
#include "platform/fs/DeviceRoot.h"

#include <cstring>
#include <fstream>
#include <iterator>
#include <mutex>
#include <optional>

using platform::HandleKind;
using platform::ResourceEntry;

namespace {

constexpr char PackMagic[] = "QRESPACK";
constexpr std::size_t MagicSize = 8, WordsPerEntry = 5;

class ModuleObject : public platform::HandleObject {
public:
    // The program's module: resources registered by the program.
    explicit ModuleObject(std::vector<ResourceEntry> resources)
        : HandleObject(HandleKind::Module), m_resources(std::move(resources)) {}
    // A resource pack: its resources point into its own bytes.
    explicit ModuleObject(std::string bytes);

    bool IsValid() const { return m_valid; }
    // The resource's index plus one, or 0.
    std::size_t Find(DWORD type, DWORD id) const {
        for (std::size_t i = 0; i < m_resources.size(); ++i) {
            if (m_resources[i].type == type && m_resources[i].id == id)
                return i + 1;
        }
        return 0;
    }
    const ResourceEntry* At(HRSRC resource) const {
        auto index = reinterpret_cast<std::uintptr_t>(resource);
        return index >= 1 && index <= m_resources.size() ? &m_resources[index - 1] : nullptr;
    }

private:
    std::string m_bytes;
    std::vector<ResourceEntry> m_resources;
    bool m_valid = true;
};

DWORD Word(std::string_view bytes, std::size_t at) {
    DWORD value = 0;
    for (int i = 3; i >= 0; --i)
        value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

ModuleObject::ModuleObject(std::string bytes) : HandleObject(HandleKind::Module), m_bytes(std::move(bytes)) {
    std::string_view pack = m_bytes;
    m_valid = pack.size() >= MagicSize + 4 && pack.substr(0, MagicSize) == PackMagic;
    DWORD count = m_valid ? Word(pack, MagicSize) : 0;
    std::size_t table = MagicSize + 4;
    m_valid = m_valid && count <= (pack.size() - table) / (4 * WordsPerEntry);
    for (DWORD i = 0; m_valid && i < count; ++i) {
        std::size_t at = table + i * 4 * WordsPerEntry;
        DWORD offset = Word(pack, at + 12), size = Word(pack, at + 16);
        m_valid = offset <= pack.size() && size <= pack.size() - offset;
        if (m_valid)
            m_resources.push_back({Word(pack, at), Word(pack, at + 4), Word(pack, at + 8), pack.substr(offset, size)});
    }
}

struct ProgramModule {
    std::mutex lock;
    HMODULE handle = nullptr;
    std::vector<ResourceEntry> resources;
};

ProgramModule& TheProgramModule() {
    static ProgramModule program;
    return program;
}

std::shared_ptr<ModuleObject> Lookup(HMODULE module) {
    return platform::LookupHandleAs<ModuleObject>(module, HandleKind::Module);
}

} // namespace

HMODULE LoadLibraryExW(LPCWSTR fileName, HANDLE, DWORD flags) {
    if (!fileName || !*fileName || !(flags & LOAD_LIBRARY_AS_DATAFILE))
        return platform::FailWith<HMODULE>(ERROR_INVALID_PARAMETER, nullptr);
    std::wstring path = fileName;
    if (path.find_first_of(L"\\/") == std::wstring::npos)
        path = L"\\Windows\\" + path;
    auto host = platform::HostPathFromDevice(path);
    if (!host)
        return platform::FailWith<HMODULE>(ERROR_MOD_NOT_FOUND, nullptr);
    std::ifstream in(*host, std::ios::binary);
    if (!in)
        return platform::FailWith<HMODULE>(ERROR_MOD_NOT_FOUND, nullptr);
    auto module = std::make_shared<ModuleObject>(
        std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>()));
    if (!module->IsValid())
        return platform::FailWith<HMODULE>(ERROR_BAD_FORMAT, nullptr);
    return static_cast<HMODULE>(platform::InsertHandle(std::move(module)));
}

BOOL FreeLibrary(HMODULE module) {
    if (module == GetModuleHandleW(nullptr))
        return TRUE; // the program's own module stays
    return platform::RemoveHandle(module, HandleKind::Module) ? TRUE : FALSE;
}

HMODULE GetModuleHandleW(LPCWSTR moduleName) {
    if (moduleName)
        return platform::FailWith<HMODULE>(ERROR_MOD_NOT_FOUND, nullptr);
    ProgramModule& program = TheProgramModule();
    std::lock_guard guard(program.lock);
    if (!program.handle)
        program.handle =
            static_cast<HMODULE>(platform::InsertHandle(std::make_shared<ModuleObject>(program.resources)));
    return program.handle;
}

HRSRC FindResourceW(HMODULE module, LPCWSTR name, LPCWSTR type) {
    auto object = Lookup(module);
    if (!object)
        return nullptr;
    auto id = reinterpret_cast<std::uintptr_t>(name), kind = reinterpret_cast<std::uintptr_t>(type);
    // Only numbered resources exist here.
    if (id > 0xFFFF || kind > 0xFFFF)
        return platform::FailWith<HRSRC>(ERROR_RESOURCE_NAME_NOT_FOUND, nullptr);
    std::size_t found = object->Find(static_cast<DWORD>(kind), static_cast<DWORD>(id));
    if (!found)
        return platform::FailWith<HRSRC>(ERROR_RESOURCE_NAME_NOT_FOUND, nullptr);
    return reinterpret_cast<HRSRC>(found);
}

HGLOBAL LoadResource(HMODULE module, HRSRC resource) {
    auto object = Lookup(module);
    const ResourceEntry* entry = object ? object->At(resource) : nullptr;
    if (!entry)
        return platform::FailWith<HGLOBAL>(ERROR_INVALID_PARAMETER, nullptr);
    return const_cast<char*>(entry->bytes.data());
}

LPVOID LockResource(HGLOBAL data) { return data; }

DWORD SizeofResource(HMODULE module, HRSRC resource) {
    auto object = Lookup(module);
    const ResourceEntry* entry = object ? object->At(resource) : nullptr;
    return entry ? static_cast<DWORD>(entry->bytes.size()) : platform::FailWith<DWORD>(ERROR_INVALID_PARAMETER, 0);
}

namespace platform {

void RegisterProgramResources(std::vector<ResourceEntry> resources) {
    ProgramModule& program = TheProgramModule();
    std::lock_guard guard(program.lock);
    program.resources = std::move(resources);
    // The program registers its resources at start, before anyone asks for its module;
    // a handle handed out before then stops working.
    if (program.handle) {
        RemoveHandle(program.handle, HandleKind::Module);
        program.handle = nullptr;
    }
}

std::string ResourcePackBytes(const std::vector<ResourceEntry>& resources) {
    auto word = [](std::string& out, DWORD value) {
        for (int i = 0; i < 4; ++i)
            out += static_cast<char>((value >> (8 * i)) & 0xFF);
    };
    std::string out(PackMagic, MagicSize);
    word(out, static_cast<DWORD>(resources.size()));
    std::size_t offset = out.size() + resources.size() * 4 * WordsPerEntry;
    for (const ResourceEntry& entry : resources) {
        for (DWORD value :
             {entry.type, entry.id, entry.language, static_cast<DWORD>(offset), static_cast<DWORD>(entry.bytes.size())})
            word(out, value);
        offset += entry.bytes.size();
    }
    for (const ResourceEntry& entry : resources)
        out += entry.bytes;
    return out;
}

} // namespace platform
