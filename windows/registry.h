// Registry workers: read, write and delete values and keys addressed by a key path
// ("HKEY_CURRENT_USER\Software\Example"). They take 8-bit texts, return 0 on success and
// kRegistryFailed (-1) with a message in error (kErrorTextCapacity bytes; may be null, then
// nothing is written); readRegistryValue may also return the registry's own error code,
// for which it writes no message.
#pragma once

#include <windows.h>

#include "windows/registry_path.h"

// Reads into value, whose capacity is *size on entry; *size is then the number of bytes
// returned, or needed when the value does not fit (status -1).
int readRegistryValue(const char* keyPath, const char* valueName, BYTE* value, DWORD* type, DWORD* size,
                      char* error);
// Store REG_SZ (the text without its terminator) or REG_DWORD, creating missing keys.
int writeRegistryString(const char* keyPath, const char* valueName, const char* value, char* error);
int writeRegistryDword(const char* keyPath, const char* valueName, int value, char* error);
// Deletes the value, then its key when that key is left with no value and no sub-key.
int deleteRegistryValue(const char* keyPath, const char* valueName, char* error);
// Deletes the key, which must have no sub-key.
int deleteRegistryKey(const char* keyPath, char* error);
