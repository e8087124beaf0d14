// Registry key paths: "ROOT\sub\key", split at the first backslash into one of the seven
// predefined root keys and the sub-key part. No Windows call is made here.
#pragma once

#include <cstddef>
#include <cstdint>

#if defined(_WIN32)
#include <windows.h>
using RootKey = HKEY;
#else
// Away from Windows a predefined key is its 32-bit value.
using RootKey = std::uint32_t;
#endif

// Status of a registry worker that failed with its message in the error text buffer.
constexpr int kRegistryFailed = -1;
// Capacity of the area that receives the root part of a key path.
constexpr std::size_t kRootNameCapacity = 80;

// Copies count bytes from source + start into destination and terminates them. Refused
// (result nullptr) when a pointer is null, start is negative, or the range does not end
// before the last character of source. destination must hold count + 1 bytes.
char* copySubstring(char* destination, const char* source, std::int32_t start, std::uint32_t count);

// 0 and the predefined key when name is exactly one of the seven root names
// ("HKEY_LOCAL_MACHINE"...); -1 and key untouched otherwise.
int rootKeyFromName(const char* name, RootKey* key);

struct ResolvedKeyPath {
    RootKey root;
    const char* subKey;  // inside the key path, just after its first backslash
};

// Splits keyPath. rootName (kRootNameCapacity bytes) receives the root part. On failure
// returns kRegistryFailed and, when error is not null, writes the message into it (cut at
// errorCapacity); resolved is then untouched.
int resolveKeyPath(const char* keyPath, char* rootName, ResolvedKeyPath* resolved, char* error,
                   std::size_t errorCapacity);
