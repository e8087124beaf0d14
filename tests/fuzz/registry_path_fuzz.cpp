// libFuzzer target: arbitrary bytes as a key path for the resolution, and as the source of
// copySubstring with arbitrary bounds. Every area is an exact-size heap block, so the
// sanitizers see a byte read or written past it; broken promises abort.
#include "windows/registry_path.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr std::size_t kErrorCapacity = 400;

void require(bool condition) {
    if (!condition) std::abort();
}

bool startsWith(const char* text, const char* prefix) { return std::strncmp(text, prefix, std::strlen(prefix)) == 0; }

char* heapCopy(const std::uint8_t* data, std::size_t size) {
    char* text = static_cast<char*>(std::malloc(size + 1));
    std::memcpy(text, data, size);
    text[size] = '\0';
    return text;
}

void resolve(const char* keyPath) {
    char* rootName = static_cast<char*>(std::malloc(kRootNameCapacity));
    char* error = static_cast<char*>(std::malloc(kErrorCapacity));
    ResolvedKeyPath resolved{};
    const int status = resolveKeyPath(keyPath, rootName, &resolved, error, kErrorCapacity);
    ResolvedKeyPath unbuffered{};
    require(resolveKeyPath(keyPath, rootName, &unbuffered, nullptr, kErrorCapacity) == status);

    const char* backslash = std::strchr(keyPath, '\\');
    const std::size_t index = backslash != nullptr ? static_cast<std::size_t>(backslash - keyPath) : 0;
    if (status == 0) {
        require(backslash != nullptr && index < kRootNameCapacity);
        require(resolved.subKey == backslash + 1);
        require(std::string(rootName) == std::string(keyPath, index));
        RootKey root{};
        require(rootKeyFromName(rootName, &root) == 0 && root == resolved.root);
        require(root >= 0x80000000u && root <= 0x80000006u);
    } else {
        require(status == kRegistryFailed);
        require(std::memchr(error, '\0', kErrorCapacity) != nullptr);
        if (backslash == nullptr)
            require(startsWith(error, "ERREUR : cl\xE9 non-valide : "));
        else if (index >= kRootNameCapacity)
            require(startsWith(error, "Erreur d'extraction de la cl\xE9 racine de \""));
        else
            require(startsWith(error, "ERREUR : d\xE9" "but de cl\xE9 non-valide : "));
    }
    std::free(error);
    std::free(rootName);
}

void copy(const std::uint8_t* data, std::size_t size) {
    if (size < 8) return;
    std::int32_t start;
    std::uint32_t count;
    std::memcpy(&start, data, 4);
    std::memcpy(&count, data + 4, 4);
    char* source = heapCopy(data + 8, size - 8);
    const std::size_t length = std::strlen(source);
    // Any copy that is accepted lies inside the source, so a block of its length holds it.
    char* destination = static_cast<char*>(std::malloc(length + 1));
    const char* result = copySubstring(destination, source, start, count);
    const bool allowed = start >= 0 && static_cast<std::uint64_t>(start) + count < length;
    require((result != nullptr) == allowed);
    if (allowed) require(std::memcmp(destination, source + start, count) == 0 && destination[count] == '\0');
    std::free(destination);
    std::free(source);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    char* keyPath = heapCopy(data, size);
    resolve(keyPath);
    std::free(keyPath);
    copy(data, size);
    return 0;
}
