#include "tests/support/support.h"

#if defined(_WIN32)
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>

namespace kxtest {
namespace {

// The import address table entry through which the module calls dll!function, found by
// name through the import name table; nullptr when there is none.
void** findImport(HMODULE module, const char* dll, const char* function) {
    if (module == nullptr) return nullptr;
    const auto* base = reinterpret_cast<const BYTE*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    if (dos->e_magic != IMAGE_DOS_SIGNATURE) return nullptr;
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    if (nt->Signature != IMAGE_NT_SIGNATURE) return nullptr;
    const IMAGE_DATA_DIRECTORY& directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (directory.VirtualAddress == 0) return nullptr;
    for (auto* descriptor = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + directory.VirtualAddress);
         descriptor->Name != 0; ++descriptor) {
        if (_stricmp(reinterpret_cast<const char*>(base + descriptor->Name), dll) != 0) continue;
        // Without a name table the address table holds addresses by now, not names.
        if (descriptor->OriginalFirstThunk == 0) return nullptr;
        const auto* names = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + descriptor->OriginalFirstThunk);
        auto* addresses = reinterpret_cast<IMAGE_THUNK_DATA*>(const_cast<BYTE*>(base) + descriptor->FirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++addresses) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            const auto* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<const char*>(byName->Name), function) == 0)
                return reinterpret_cast<void**>(&addresses->u1.Function);
        }
    }
    return nullptr;
}

bool write(void** slot, void* value) {
    DWORD protection = 0;
    if (!VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &protection)) return false;
    *slot = value;
    VirtualProtect(slot, sizeof *slot, protection, &protection);
    return true;
}

std::string moduleName(HMODULE module) {
    char path[MAX_PATH] = "?";
    if (module != nullptr) GetModuleFileNameA(module, path, sizeof path);
    return path;
}

}  // namespace

ImportPatch::ImportPatch(HMODULE module, const char* dll, const char* function, const void* replacement)
    : slot_(findImport(module, dll, function)) {
    if (slot_ == nullptr) {
        const std::string message = "ImportPatch: " + moduleName(module) + " does not import " + function +
                                    " by name from " + dll;
        std::fprintf(stderr, "%s\n", message.c_str());
        throw std::runtime_error(message);
    }
    original_ = *slot_;
    if (!write(slot_, const_cast<void*>(replacement)))
        throw std::runtime_error(std::string("ImportPatch: cannot write the import slot of ") + function + ", error " +
                                 std::to_string(GetLastError()));
}

ImportPatch::~ImportPatch() {
    if (!write(slot_, original_)) {
        std::fprintf(stderr, "ImportPatch: cannot restore an import slot\n");
        std::abort();
    }
}

bool ImportPatch::imports(HMODULE module, const char* dll, const char* function) {
    return findImport(module, dll, function) != nullptr;
}

std::vector<HANDLE> openHandles() {
    // Handle values are multiples of 4, handed out lowest free first (by Windows and by
    // Wine), so the scan stops after a long run of invalid values past the last valid
    // one: a probe costs a server call under Wine (~30 us), a full 64K range seconds.
    constexpr std::uintptr_t kLastValue = 0x10000 * 4;
    constexpr std::uintptr_t kRunPastLast = 1024 * 4;
    std::vector<HANDLE> open;
    std::uintptr_t stop = kRunPastLast;
    for (std::uintptr_t value = 4; value < stop && value < kLastValue; value += 4) {
        DWORD flags = 0;
        if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) {
            open.push_back(reinterpret_cast<HANDLE>(value));
            stop = value + kRunPastLast;
        }
    }
    return open;
}

int countOpenHandles() { return static_cast<int>(openHandles().size()); }

}  // namespace kxtest
#endif
