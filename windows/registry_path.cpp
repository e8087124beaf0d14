#include "windows/registry_path.h"

#include <cstring>

#include "windows/registry_messages.h"

namespace {

RootKey predefinedKey(std::uint32_t value) {
#if defined(_WIN32)
    // As windows.h defines them: the 32-bit value sign-extended to a handle.
    return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(value)));
#else
    return value;
#endif
}

}  // namespace

char* copySubstring(char* destination, const char* source, std::int32_t start, std::uint32_t count) {
    if (destination == nullptr || source == nullptr || start < 0) return nullptr;
    // In 64 bits, so that a huge count cannot wrap the end of the range below the length.
    const std::uint64_t end = static_cast<std::uint64_t>(start) + count;
    if (end >= std::strlen(source)) return nullptr;
    std::memcpy(destination, source + start, count);
    destination[count] = '\0';
    return destination;
}

int rootKeyFromName(const char* name, RootKey* key) {
    struct Root {
        const char* name;
        std::uint32_t value;
    };
    constexpr Root roots[] = {
        {"HKEY_CLASSES_ROOT", 0x80000000u},  {"HKEY_CURRENT_USER", 0x80000001u},
        {"HKEY_LOCAL_MACHINE", 0x80000002u}, {"HKEY_USERS", 0x80000003u},
        {"HKEY_PERFORMANCE_DATA", 0x80000004u}, {"HKEY_CURRENT_CONFIG", 0x80000005u},
        {"HKEY_DYN_DATA", 0x80000006u},
    };
    for (const Root& root : roots) {
        if (std::strcmp(name, root.name) == 0) {
            *key = predefinedKey(root.value);
            return 0;
        }
    }
    return -1;
}

int resolveKeyPath(const char* keyPath, char* rootName, ResolvedKeyPath* resolved, char* error,
                   std::size_t errorCapacity) {
    const char* backslash = std::strchr(keyPath, '\\');
    if (backslash == nullptr) {
        invalidKeyMessage(error, errorCapacity, keyPath);
        return kRegistryFailed;
    }
    const std::size_t index = static_cast<std::size_t>(backslash - keyPath);
    // A root part this long names no root key and would not fit the area.
    if (index >= kRootNameCapacity) {
        rootExtractionMessage(error, errorCapacity, keyPath);
        return kRegistryFailed;
    }
    copySubstring(rootName, keyPath, 0, static_cast<std::uint32_t>(index));
    RootKey root;
    if (rootKeyFromName(rootName, &root) != 0) {
        invalidRootMessage(error, errorCapacity, rootName);
        return kRegistryFailed;
    }
    *resolved = ResolvedKeyPath{root, backslash + 1};
    return 0;
}
