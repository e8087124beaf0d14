#include "windows/registry.h"

#include <cstring>

#include "jni/errors.h"
#include "jni/strings.h"
#include "kx_util_windows_KXWindows.h"
#include "windows/registry_messages.h"

namespace {

// What the registry is told the read area holds.
constexpr DWORD kValueCapacity = 5000;

// A key that a worker opened or created, closed when the worker returns.
class OpenKey {
public:
    OpenKey() = default;
    ~OpenKey() {
        if (key_ != nullptr) RegCloseKey(key_);
    }
    OpenKey(const OpenKey&) = delete;
    OpenKey& operator=(const OpenKey&) = delete;

    LONG open(HKEY root, const char* subKey, REGSAM access) {
        return keepIf(RegOpenKeyExA(root, subKey, 0, access, &key_));
    }
    // Creates the key and any missing key above it.
    LONG create(HKEY root, const char* subKey) { return keepIf(RegCreateKeyA(root, subKey, &key_)); }
    HKEY get() const { return key_; }

private:
    LONG keepIf(LONG status) {
        if (status != ERROR_SUCCESS) key_ = nullptr;
        return status;
    }
    HKEY key_ = nullptr;
};

// True only when the key certainly has no sub-key and no value: a name too long for the
// probe's area, or any other answer, counts as something present.
bool isEmpty(HKEY key) {
    char name[80];
    DWORD capacity = sizeof name;
    if (RegEnumKeyExA(key, 0, name, &capacity, nullptr, nullptr, nullptr, nullptr) != ERROR_NO_MORE_ITEMS)
        return false;
    capacity = sizeof name;
    return RegEnumValueA(key, 0, name, &capacity, nullptr, nullptr, nullptr, nullptr) == ERROR_NO_MORE_ITEMS;
}

// Opens or creates the key of keyPath and hands it to store, which returns the status.
template <class Store>
int writeRegistryValue(const char* keyPath, char* error, Store store) {
    char rootName[kRootNameCapacity];
    ResolvedKeyPath path{};
    if (resolveKeyPath(keyPath, rootName, &path, error, kErrorTextCapacity) != 0) return kRegistryFailed;
    OpenKey key;
    if (key.create(path.root, path.subKey) != ERROR_SUCCESS) {
        createFailedMessage(error, kErrorTextCapacity, keyPath, path.subKey);
        return kRegistryFailed;
    }
    return store(key.get());
}

}  // namespace

int readRegistryValue(const char* keyPath, const char* valueName, BYTE* value, DWORD* type, DWORD* size,
                      char* error) {
    char rootName[kRootNameCapacity];
    ResolvedKeyPath path{};
    if (resolveKeyPath(keyPath, rootName, &path, error, kErrorTextCapacity) != 0) return kRegistryFailed;
    OpenKey key;
    const LONG opened = key.open(path.root, path.subKey, KEY_READ);
    if (opened != ERROR_SUCCESS) return opened;
    const LONG status = RegQueryValueExA(key.get(), valueName, nullptr, type, value, size);
    if (status == ERROR_MORE_DATA) {
        noRoomMessage(error, kErrorTextCapacity, *size);
        return kRegistryFailed;
    }
    return status;
}

int writeRegistryString(const char* keyPath, const char* valueName, const char* value, char* error) {
    return writeRegistryValue(keyPath, error, [&](HKEY key) {
        const auto length = static_cast<DWORD>(std::strlen(value));
        if (RegSetValueExA(key, valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(value), length) == ERROR_SUCCESS)
            return 0;
        writeStringFailedMessage(error, kErrorTextCapacity, keyPath, valueName, value);
        return kRegistryFailed;
    });
}

int writeRegistryDword(const char* keyPath, const char* valueName, int value, char* error) {
    return writeRegistryValue(keyPath, error, [&](HKEY key) {
        // The int's own bytes, least significant first.
        const LONG status =
            RegSetValueExA(key, valueName, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
        if (status == ERROR_SUCCESS) return 0;
        writeNumberFailedMessage(error, kErrorTextCapacity, status, SystemText(status).get(), keyPath, valueName,
                                 value);
        return kRegistryFailed;
    });
}

int deleteRegistryValue(const char* keyPath, const char* valueName, char* error) {
    char rootName[kRootNameCapacity];
    ResolvedKeyPath path{};
    if (resolveKeyPath(keyPath, rootName, &path, error, kErrorTextCapacity) != 0) return kRegistryFailed;
    OpenKey key;
    if (key.open(path.root, path.subKey, KEY_ALL_ACCESS) != ERROR_SUCCESS) {
        invalidKeyMessage(error, kErrorTextCapacity, keyPath);
        return kRegistryFailed;
    }
    const LONG status = RegDeleteValueA(key.get(), valueName);
    if (status != ERROR_SUCCESS) {
        deleteValueFailedMessage(error, kErrorTextCapacity, status, SystemText(status).get(), keyPath, valueName);
        return kRegistryFailed;
    }
    // A key emptied by the deletion goes with its value; whether that succeeds does not
    // change the outcome of the value's deletion.
    if (isEmpty(key.get())) deleteRegistryKey(keyPath, nullptr);
    return 0;
}

int deleteRegistryKey(const char* keyPath, char* error) {
    char rootName[kRootNameCapacity];
    ResolvedKeyPath path{};
    if (resolveKeyPath(keyPath, rootName, &path, error, kErrorTextCapacity) != 0) return kRegistryFailed;
    if (RegDeleteKeyA(path.root, path.subKey) == ERROR_SUCCESS) return 0;
    deleteKeyFailedMessage(error, kErrorTextCapacity, rootName, path.subKey);
    return kRegistryFailed;
}

// Native methods of kx.util.windows.KXWindows.

namespace {

// Runs a worker with a fresh error text buffer and raises its message when it fails.
template <class Worker, class... Arguments>
jboolean succeedOrRaise(JNIEnv* env, Worker worker, const Arguments&... arguments) {
    char error[kErrorTextCapacity] = "";
    if (worker(arguments..., error) == 0) return JNI_TRUE;
    throwJavaException(env, error);
    return JNI_FALSE;
}

jstring readOrRaise(JNIEnv* env, const char* keyPath, const char* valueName) {
    // One byte past the registry's capacity terminates a value that fills it.
    BYTE value[kValueCapacity + 1];
    DWORD type = 0;
    DWORD size = kValueCapacity;
    char error[kErrorTextCapacity] = "";
    const int status = readRegistryValue(keyPath, valueName, value, &type, &size, error);
    if (status == 0) {
        value[size < kValueCapacity ? size : kValueCapacity] = 0;
        return ansiToJava(env, reinterpret_cast<const char*>(value));
    }
    if (status != kRegistryFailed) {
        char systemText[kSystemTextCapacity];
        readFailedMessage(error, sizeof error, keyPath, valueName,
                          formatWindowsError(static_cast<DWORD>(status), systemText, sizeof systemText));
    }
    throwJavaException(env, error);
    return nullptr;
}

}  // namespace

JNIEXPORT jstring JNICALL Java_kx_util_windows_KXWindows_readRegisterKeyValue(JNIEnv* env, jclass, jstring keyPath,
                                                                              jstring valueName) {
    const AnsiText key(env, keyPath, "keyPath"), name(env, valueName, "valueName");
    return requireAll(key, name) ? readOrRaise(env, key, name) : nullptr;
}

JNIEXPORT jboolean JNICALL
Java_kx_util_windows_KXWindows_writeRegisterKeyValue__Ljava_lang_String_2Ljava_lang_String_2Ljava_lang_String_2(
    JNIEnv* env, jclass, jstring keyPath, jstring valueName, jstring value) {
    const AnsiText key(env, keyPath, "keyPath"), name(env, valueName, "valueName"), text(env, value, "value");
    return requireAll(key, name, text) && succeedOrRaise(env, writeRegistryString, key.get(), name.get(), text.get());
}

JNIEXPORT jboolean JNICALL Java_kx_util_windows_KXWindows_writeRegisterKeyValue__Ljava_lang_String_2Ljava_lang_String_2I(
    JNIEnv* env, jclass, jstring keyPath, jstring valueName, jint value) {
    const AnsiText key(env, keyPath, "keyPath"), name(env, valueName, "valueName");
    return requireAll(key, name) && succeedOrRaise(env, writeRegistryDword, key.get(), name.get(), value);
}

JNIEXPORT jboolean JNICALL Java_kx_util_windows_KXWindows_deleteRegisterKey(JNIEnv* env, jclass, jstring keyPath) {
    const AnsiText key(env, keyPath, "keyPath");
    return requireAll(key) && succeedOrRaise(env, deleteRegistryKey, key.get());
}

JNIEXPORT jboolean JNICALL Java_kx_util_windows_KXWindows_deleteRegisterKeyValue(JNIEnv* env, jclass,
                                                                                 jstring keyPath, jstring valueName) {
    const AnsiText key(env, keyPath, "keyPath"), name(env, valueName, "valueName");
    return requireAll(key, name) && succeedOrRaise(env, deleteRegistryValue, key.get(), name.get());
}
