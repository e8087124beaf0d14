// Registry failures that Wine does not produce on demand, injected by replacing registry
// functions in this program's import table (where the workers are linked) for one test.
#include "windows/registry.h"

#include "jni/errors.h"
#include "tests/support/support.h"
#include "tests/windows/registry_fixture.h"

#include <functional>
#include <string>
#include <vector>

namespace {

using registrytest::systemText;

HMODULE self() { return GetModuleHandleA(nullptr); }

LONG g_refusal = ERROR_ACCESS_DENIED;
LONG WINAPI refuseCreate(HKEY, LPCSTR, PHKEY) { return g_refusal; }
LONG WINAPI refuseSetValue(HKEY, LPCSTR, DWORD, DWORD, const BYTE*, DWORD) { return g_refusal; }
LONG WINAPI refuseDeleteKey(HKEY, LPCSTR) { return g_refusal; }

// RegOpenKeyExA records the access asked for, then refuses or forwards.
REGSAM g_openAccess = 0;
bool g_refuseOpen = false;
decltype(&RegOpenKeyExA) g_realOpen;
LONG WINAPI watchOpen(HKEY root, LPCSTR subKey, DWORD options, REGSAM access, PHKEY key) {
    g_openAccess = access;
    return g_refuseOpen ? g_refusal : g_realOpen(root, subKey, options, access, key);
}

std::string message(char* error) { return error; }

class InjectedRegistryFailures : public registrytest::TestKey {
protected:
    void TearDown() override {
        g_refusal = ERROR_ACCESS_DENIED;
        g_refuseOpen = false;
        registrytest::TestKey::TearDown();
    }
    char error[kErrorTextCapacity] = "";
};

TEST_F(InjectedRegistryFailures, RefusedKeyCreationFailsBothWrites) {
    KX_PATCH_IMPORT(patch, self(), "ADVAPI32.dll", RegCreateKeyA, refuseCreate);
    const std::string expected = "ERREUR : erreur de cr\xE9" "ation : " + keyPath("a\\b") + "/" + subKey("a\\b");
    EXPECT_EQ(writeRegistryString(keyPath("a\\b").c_str(), "v", "text", error), kRegistryFailed);
    EXPECT_EQ(message(error), expected);
    EXPECT_EQ(writeRegistryDword(keyPath("a\\b").c_str(), "v", 1, error), kRegistryFailed);
    EXPECT_EQ(message(error), expected);
    EXPECT_FALSE(keyExists("a"));
}

TEST_F(InjectedRegistryFailures, RefusedStringWriteNamesKeyValueAndTextWithoutCode) {
    KX_PATCH_IMPORT(patch, self(), "ADVAPI32.dll", RegSetValueExA, refuseSetValue);
    EXPECT_EQ(writeRegistryString(keyPath("k").c_str(), "v", "caf\xE9", error), kRegistryFailed);
    EXPECT_EQ(message(error), "ERREUR : erreur d'\xE9" "criture de : " + keyPath("k") + "/v=caf\xE9");
    EXPECT_TRUE(keyExists("k")) << "the created key stays";
}

TEST_F(InjectedRegistryFailures, RefusedNumberWriteCarriesCodeAndSystemTextWithItsLineBreak) {
    KX_PATCH_IMPORT(patch, self(), "ADVAPI32.dll", RegSetValueExA, refuseSetValue);
    const std::string accessDenied = systemText(ERROR_ACCESS_DENIED);
    ASSERT_GE(accessDenied.size(), 2u);
    EXPECT_EQ(accessDenied.substr(accessDenied.size() - 2), "\r\n");
    EXPECT_EQ(writeRegistryDword(keyPath("k").c_str(), "v", -7, error), kRegistryFailed);
    EXPECT_EQ(message(error), "ERREUR : erreur 5 (" + accessDenied + ") d'\xE9" "criture de : " + keyPath("k") + "/v=-7");

    g_refusal = 12345;  // a code without system text
    ASSERT_EQ(systemText(12345), "");
    EXPECT_EQ(writeRegistryDword(keyPath("k").c_str(), "v", 2147483647, error), kRegistryFailed);
    EXPECT_EQ(message(error), "ERREUR : erreur 12345 () d'\xE9" "criture de : " + keyPath("k") + "/v=2147483647");
}

TEST_F(InjectedRegistryFailures, RefusedKeyDeletionNamesRootAndSubKeyAndKeepsTheKey) {
    createKey("k");
    KX_PATCH_IMPORT(patch, self(), "ADVAPI32.dll", RegDeleteKeyA, refuseDeleteKey);
    EXPECT_EQ(deleteRegistryKey(keyPath("k").c_str(), error), kRegistryFailed);
    EXPECT_EQ(message(error), "ERREUR : erreur de suppression de : HKEY_CURRENT_USER/" + subKey("k"));
    EXPECT_TRUE(keyExists("k"));
}

TEST_F(InjectedRegistryFailures, ValueDeletionOpensWithFullAccessAndReadWithReadAccess) {
    setString("k", "v", "x");
    KX_PATCH_IMPORT(patch, self(), "ADVAPI32.dll", RegOpenKeyExA, watchOpen);
    g_realOpen = patch.original<decltype(RegOpenKeyExA)>();

    BYTE value[5001];
    DWORD type = 0, size = 5000;
    EXPECT_EQ(readRegistryValue(keyPath("k").c_str(), "v", value, &type, &size, error), 0);
    EXPECT_EQ(g_openAccess, static_cast<REGSAM>(0x20019));

    g_refuseOpen = true;
    EXPECT_EQ(deleteRegistryValue(keyPath("k").c_str(), "v", error), kRegistryFailed);
    EXPECT_EQ(g_openAccess, static_cast<REGSAM>(0xF003F));
    EXPECT_EQ(message(error), "ERREUR : cl\xE9 non-valide : " + keyPath("k"));
    g_refuseOpen = false;
    EXPECT_TRUE(stored("k", "v").has_value());
}

TEST_F(InjectedRegistryFailures, RefusedCleanUpLeavesTheValueDeletionSuccessful) {
    setString("k", "v", "x");
    KX_PATCH_IMPORT(patch, self(), "ADVAPI32.dll", RegDeleteKeyA, refuseDeleteKey);
    EXPECT_EQ(deleteRegistryValue(keyPath("k").c_str(), "v", error), 0);
    EXPECT_EQ(message(error), "") << "no message written on success";
    EXPECT_FALSE(stored("k", "v").has_value());
    EXPECT_TRUE(keyExists("k"));
}

// Keys handed out by RegOpenKeyExA and RegCreateKeyA against those closed.
int g_keysHandedOut = 0;
int g_keysClosed = 0;
decltype(&RegCreateKeyA) g_realCreate;
decltype(&RegCloseKey) g_realClose;
LONG WINAPI countOpen(HKEY root, LPCSTR subKey, DWORD options, REGSAM access, PHKEY key) {
    const LONG status = g_realOpen(root, subKey, options, access, key);
    if (status == ERROR_SUCCESS) ++g_keysHandedOut;
    return status;
}
LONG WINAPI countCreate(HKEY root, LPCSTR subKey, PHKEY key) {
    const LONG status = g_realCreate(root, subKey, key);
    if (status == ERROR_SUCCESS) ++g_keysHandedOut;
    return status;
}
LONG WINAPI countClose(HKEY key) {
    ++g_keysClosed;
    return g_realClose(key);
}

TEST_F(InjectedRegistryFailures, EveryKeyAWorkerOpensIsClosedOnEveryPath) {
    setString("", "long", std::string(6000, 'x'));
    KX_PATCH_IMPORT(open, self(), "ADVAPI32.dll", RegOpenKeyExA, countOpen);
    KX_PATCH_IMPORT(create, self(), "ADVAPI32.dll", RegCreateKeyA, countCreate);
    KX_PATCH_IMPORT(close, self(), "ADVAPI32.dll", RegCloseKey, countClose);
    g_realOpen = open.original<decltype(RegOpenKeyExA)>();
    g_realCreate = create.original<decltype(RegCreateKeyA)>();
    g_realClose = close.original<decltype(RegCloseKey)>();
    g_keysHandedOut = g_keysClosed = 0;

    const std::string k = keyPath("k");
    auto read = [&](const char* name) {
        BYTE value[5001];
        DWORD type = 0, size = 5000;
        return readRegistryValue(keyPath().c_str(), name, value, &type, &size, error);
    };
    const std::vector<std::pair<const char*, std::function<int()>>> paths = {
        {"write string", [&] { return writeRegistryString(k.c_str(), "a", "x", error); }},
        {"write number", [&] { return writeRegistryDword(k.c_str(), "b", 1, error); }},
        {"read", [&] { return read("long") == kRegistryFailed ? 0 : 1; }},  // ERROR_MORE_DATA
        {"read missing", [&] { return read("absent") == ERROR_FILE_NOT_FOUND ? 0 : 1; }},
        {"delete missing value", [&] { return deleteRegistryValue(k.c_str(), "absent", error) + 1; }},
        {"delete value", [&] { return deleteRegistryValue(k.c_str(), "a", error); }},
        {"delete last value, clean-up", [&] { return deleteRegistryValue(k.c_str(), "b", error); }},
        {"write string, refused", [&] {
             KX_PATCH_IMPORT(refuse, self(), "ADVAPI32.dll", RegSetValueExA, refuseSetValue);
             return writeRegistryString(k.c_str(), "a", "x", error) + 1;
         }},
        {"write number, refused", [&] {
             KX_PATCH_IMPORT(refuse, self(), "ADVAPI32.dll", RegSetValueExA, refuseSetValue);
             return writeRegistryDword(k.c_str(), "a", 1, error) + 1;
         }},
    };
    for (const auto& [description, run] : paths) {
        EXPECT_EQ(run(), 0) << description << ": " << error;
        EXPECT_EQ(g_keysClosed, g_keysHandedOut) << description;
    }
    EXPECT_GE(g_keysHandedOut, static_cast<int>(paths.size()));
}

}  // namespace
