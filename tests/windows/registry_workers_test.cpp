// The registry workers against Wine's registry, each test under a key of its own.
#include "windows/registry.h"

#include "jni/errors.h"
#include "tests/support/support.h"
#include "tests/windows/registry_fixture.h"

#include <climits>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

using registrytest::Stored;
using registrytest::systemText;

constexpr char kCanary = '\x5A';

// A worker's error text buffer followed by guard bytes that must stay untouched.
struct ErrorText {
    ErrorText() { std::memset(area, kCanary, sizeof area); }
    char* get() { return area; }
    std::string text() const { return std::string(area, strnlen(area, kErrorTextCapacity)); }
    bool written() const { return area[0] != kCanary; }
    bool guardIntact() const {
        for (std::size_t i = kErrorTextCapacity; i < sizeof area; ++i)
            if (area[i] != kCanary) return false;
        return true;
    }
    char area[kErrorTextCapacity + 64];
};

struct Read {
    int status;
    std::string bytes;
    DWORD type;
    DWORD size;
    std::string error;
    bool guardIntact;
};

// Reads as the native method does: capacity 5000 in an area with one byte more, whose last
// byte must be left alone.
Read read(const std::string& keyPath, const char* valueName) {
    BYTE value[5001];
    std::memset(value, kCanary, sizeof value);
    DWORD type = REG_NONE;
    DWORD size = 5000;
    ErrorText error;
    const int status = readRegistryValue(keyPath.c_str(), valueName, value, &type, &size, error.get());
    return {status,
            status == 0 ? std::string(reinterpret_cast<char*>(value), size) : "",
            type,
            size,
            error.written() ? error.text() : "",
            value[5000] == static_cast<BYTE>(kCanary) && error.guardIntact()};
}

using Worker = std::function<int(const char* keyPath, char* error)>;

// Every worker on one key path, the value name "v" and the value "text" or 7.
std::vector<std::pair<const char*, Worker>> everyWorker() {
    return {
        {"read",
         [](const char* keyPath, char* error) {
             BYTE value[5001];
             DWORD type = 0, size = 5000;
             return readRegistryValue(keyPath, "v", value, &type, &size, error);
         }},
        {"write string", [](const char* keyPath, char* error) { return writeRegistryString(keyPath, "v", "text", error); }},
        {"write number", [](const char* keyPath, char* error) { return writeRegistryDword(keyPath, "v", 7, error); }},
        {"delete value", [](const char* keyPath, char* error) { return deleteRegistryValue(keyPath, "v", error); }},
        {"delete key", [](const char* keyPath, char* error) { return deleteRegistryKey(keyPath, error); }},
    };
}

class RegistryWorkers : public registrytest::TestKey {};

TEST_F(RegistryWorkers, AKeyPathThatDoesNotResolveStopsEveryWorkerBeforeTheRegistry) {
    const std::string below = subKey("k");
    const std::string root80 = std::string(80, 'H');
    struct Case {
        std::string keyPath;
        std::string message;
    };
    const std::string invalidStart = "ERREUR : d\xE9" "but de cl\xE9 non-valide : ";
    const std::vector<Case> cases = {
        {"HKEY_CURRENT_USER", "ERREUR : cl\xE9 non-valide : HKEY_CURRENT_USER"},
        {"HKEY_CURRENT_USER/Software/k", "ERREUR : cl\xE9 non-valide : HKEY_CURRENT_USER/Software/k"},
        {"HKEY_CURRENT_USER/" + below, invalidStart + "HKEY_CURRENT_USER/Software"},
        {"\\" + below, invalidStart},
        {"hkey_current_user\\" + below, invalidStart + "hkey_current_user"},
        {"HKCU\\" + below, invalidStart + "HKCU"},
        {"HKEY_CURRENT_USER \\" + below, invalidStart + "HKEY_CURRENT_USER "},
        {root80 + "\\" + below, "Erreur d'extraction de la cl\xE9 racine de \"" + root80 + "\\" + below + "\""},
    };
    for (const auto& [workerName, worker] : everyWorker()) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(workerName) + ": " + c.keyPath);
            ErrorText error;
            EXPECT_EQ(worker(c.keyPath.c_str(), error.get()), kRegistryFailed);
            EXPECT_EQ(error.text(), c.message);
            EXPECT_TRUE(error.guardIntact());
            EXPECT_EQ(worker(c.keyPath.c_str(), nullptr), kRegistryFailed);
        }
    }
    EXPECT_FALSE(keyExists(""));
}

TEST_F(RegistryWorkers, EveryRootNameReachesTheRegistry) {
    for (const char* root : {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE", "HKEY_USERS",
                             "HKEY_PERFORMANCE_DATA", "HKEY_CURRENT_CONFIG", "HKEY_DYN_DATA"}) {
        const Read r = read(std::string(root) + "\\" + subKey("missing"), "v");
        EXPECT_NE(r.status, 0) << root;
        EXPECT_NE(r.status, kRegistryFailed) << root << ": " << r.error;
        EXPECT_EQ(r.error, "") << root;
    }
    // An empty sub-key part is the root key itself.
    set("", "v", REG_SZ, "x", 1);
    EXPECT_EQ(read("HKEY_CURRENT_USER\\", subKey().c_str()).status, ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(read("HKEY_CURRENT_USER\\" + subKey(), "v").status, 0);
}

TEST_F(RegistryWorkers, ReadReturnsTheStoredBytesTheirCountAndType) {
    const DWORD number = 0x41424344;
    const char multi[] = "one\0two\0";
    const char binary[] = "\x01\0\xFF";
    set("", "number", REG_DWORD, &number, sizeof number);
    set("", "multi", REG_MULTI_SZ, multi, sizeof multi);
    set("", "binary", REG_BINARY, binary, 3);
    struct Case {
        const char* name;
        std::string bytes;
        DWORD type;
    };
    const std::vector<Case> cases = {
        {"number", "DCBA", REG_DWORD},
        {"multi", std::string(multi, sizeof multi), REG_MULTI_SZ},
        {"binary", std::string(binary, 3), REG_BINARY},
    };
    for (const Case& c : cases) {
        const Read r = read(keyPath(), c.name);
        EXPECT_EQ(r.status, 0) << c.name;
        EXPECT_EQ(r.bytes, c.bytes) << c.name;
        EXPECT_EQ(r.size, c.bytes.size()) << c.name;
        EXPECT_EQ(r.type, c.type) << c.name;
        EXPECT_TRUE(r.guardIntact) << c.name;
    }
}

TEST_F(RegistryWorkers, ReadReturnsStringsWithOrWithoutTheirTerminator) {
    // Wine adds a zero after a string stored without one, and counts it: only the text
    // before the first zero is compared here.
    setString("", "terminated", std::string("abc\0", 4));
    // RegSetValueExA counts a zero that follows the given bytes, as Windows does: "abc#"
    // with count 3 stores "abc" alone.
    set("", "bare", REG_SZ, "abc#", 3);
    setString("", "empty", "");
    setString("", "", "default");
    for (const auto& [name, text] : std::vector<std::pair<const char*, std::string>>{
             {"terminated", "abc"}, {"bare", "abc"}, {"empty", ""}, {"", "default"}}) {
        const Read r = read(keyPath(), name);
        EXPECT_EQ(r.status, 0) << name;
        EXPECT_EQ(r.type, static_cast<DWORD>(REG_SZ)) << name;
        EXPECT_EQ(std::string(r.bytes.c_str()), text) << name;
        EXPECT_LE(r.size, text.size() + 1) << name;
        EXPECT_TRUE(r.guardIntact) << name;
    }
}

TEST_F(RegistryWorkers, ReadTakesAValueOfExactlyTheCapacityWholeAndOneMoreNeedsRoom) {
    const std::vector<BYTE> full(5000, 'x');
    set("", "full", REG_BINARY, full.data(), 5000);
    const std::vector<BYTE> over(5001, 'x');
    set("", "over", REG_BINARY, over.data(), 5001);

    const Read whole = read(keyPath(), "full");
    EXPECT_EQ(whole.status, 0);
    EXPECT_EQ(whole.bytes, std::string(5000, 'x'));
    EXPECT_TRUE(whole.guardIntact);

    const Read tooLong = read(keyPath(), "over");
    EXPECT_EQ(tooLong.status, kRegistryFailed);
    EXPECT_EQ(tooLong.error, "ERREUR : Manque de place pour stocker la r\xE9ponse, mimimum : 5001");
    EXPECT_TRUE(tooLong.guardIntact);
}

TEST_F(RegistryWorkers, ReadOfAMissingValueOrKeyReturnsTheRegistryCodeWithoutMessage) {
    createKey("");
    for (const std::string& keyPath : {keyPath(), keyPath("missing\\deeper")}) {
        const Read r = read(keyPath, "absent");
        EXPECT_EQ(r.status, ERROR_FILE_NOT_FOUND) << keyPath;
        EXPECT_EQ(r.error, "") << keyPath;
    }
}

// What the workers hand to RegSetValueExA, recorded on the way to the real function.
struct SetValueCall {
    std::string name;
    DWORD type;
    std::string data;
};
std::vector<SetValueCall> g_setValueCalls;
decltype(&RegSetValueExA) g_realSetValue;

LONG WINAPI recordSetValue(HKEY key, LPCSTR name, DWORD reserved, DWORD type, const BYTE* data, DWORD count) {
    g_setValueCalls.push_back({name, type, std::string(reinterpret_cast<const char*>(data), count)});
    return g_realSetValue(key, name, reserved, type, data, count);
}

TEST_F(RegistryWorkers, WritesHandTheRegistryTheExactBytesAndCreateMissingKeys) {
    g_setValueCalls.clear();
    {
        KX_PATCH_IMPORT(spy, GetModuleHandleA(nullptr), "ADVAPI32.dll", RegSetValueExA, recordSetValue);
        g_realSetValue = spy.original<decltype(RegSetValueExA)>();
        const std::string deep = keyPath("a\\b\\c");
        ErrorText error;
        ASSERT_EQ(writeRegistryString(deep.c_str(), "text", "caf\xE9", error.get()), 0);
        ASSERT_EQ(writeRegistryString(deep.c_str(), "empty", "", error.get()), 0);
        ASSERT_EQ(writeRegistryString(deep.c_str(), "", "default", error.get()), 0);
        ASSERT_EQ(writeRegistryDword(deep.c_str(), "minus one", -1, error.get()), 0);
        ASSERT_EQ(writeRegistryDword(deep.c_str(), "A", 0x41, error.get()), 0);
        ASSERT_EQ(writeRegistryDword(deep.c_str(), "min", INT_MIN, error.get()), 0);
        EXPECT_FALSE(error.written());
    }
    struct Case {
        const char* name;
        DWORD type;
        std::string bytes;
    };
    const std::vector<Case> cases = {
        {"text", REG_SZ, "caf\xE9"},  // the text without its terminator
        {"empty", REG_SZ, ""},
        {"", REG_SZ, "default"},
        {"minus one", REG_DWORD, "\xFF\xFF\xFF\xFF"},
        {"A", REG_DWORD, std::string("\x41\0\0\0", 4)},
        {"min", REG_DWORD, std::string("\0\0\0\x80", 4)},
    };
    ASSERT_EQ(g_setValueCalls.size(), cases.size());
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const Case& c = cases[i];
        EXPECT_EQ(g_setValueCalls[i].name, c.name);
        EXPECT_EQ(g_setValueCalls[i].type, c.type) << c.name;
        EXPECT_EQ(g_setValueCalls[i].data, c.bytes) << c.name;
        // What the registry kept: the same, but for the zero that the system counts after
        // a text which the caller's memory follows with one.
        const std::optional<Stored> value = stored("a\\b\\c", c.name);
        ASSERT_TRUE(value.has_value()) << c.name;
        EXPECT_EQ(value->type, c.type) << c.name;
        const std::string kept = registrytest::bytes(*value);
        EXPECT_EQ(c.type == REG_SZ && !c.bytes.empty() ? std::string(kept.c_str()) : kept, c.bytes) << c.name;
    }
    EXPECT_EQ(stored("a\\b\\c", "empty")->bytes.size(), 0u);
    // The empty name is the key's default value: the one a null name reads.
    EXPECT_EQ(std::string(registrytest::bytes(*stored("a\\b\\c", nullptr)).c_str()), "default");
}

TEST_F(RegistryWorkers, WriteReplacesAValueOfAnotherType) {
    ErrorText error;
    ASSERT_EQ(writeRegistryDword(keyPath().c_str(), "v", 5, error.get()), 0);
    ASSERT_EQ(writeRegistryString(keyPath().c_str(), "v", "five", error.get()), 0);
    EXPECT_EQ(stored("", "v")->type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(std::string(registrytest::bytes(*stored("", "v")).c_str()), "five");
}

TEST_F(RegistryWorkers, DeleteKeyRemovesOnlyAKeyWithoutSubKeys) {
    createKey("parent\\child");
    ErrorText refused;
    EXPECT_EQ(deleteRegistryKey(keyPath("parent").c_str(), refused.get()), kRegistryFailed);
    EXPECT_EQ(refused.text(), "ERREUR : erreur de suppression de : HKEY_CURRENT_USER/" + subKey("parent"));
    EXPECT_TRUE(keyExists("parent\\child"));

    ErrorText error;
    EXPECT_EQ(deleteRegistryKey(keyPath("parent\\child").c_str(), error.get()), 0);
    EXPECT_FALSE(error.written());
    EXPECT_FALSE(keyExists("parent\\child"));
    EXPECT_TRUE(keyExists("parent"));

    ErrorText missing;
    EXPECT_EQ(deleteRegistryKey(keyPath("parent\\child").c_str(), missing.get()), kRegistryFailed);
    EXPECT_EQ(missing.text(), "ERREUR : erreur de suppression de : HKEY_CURRENT_USER/" + subKey("parent\\child"));
}

TEST_F(RegistryWorkers, DeleteValueRemovesTheKeyItEmptiesAndNothingElse) {
    const DWORD one = 1;
    struct Case {
        const char* description;
        std::function<void()> prepare;  // fills the key "k" under a parent "p"
        const char* deleted;
        bool keyStays;
    };
    const std::vector<Case> cases = {
        {"last value", [&] { setString("p\\k", "v", "x"); }, "v", false},
        {"last value, the default one", [&] { setString("p\\k", "", "x"); }, "", false},
        {"another value left", [&] { setString("p\\k", "v", "x"); set("p\\k", "w", REG_DWORD, &one, 4); }, "v", true},
        {"default value left", [&] { setString("p\\k", "v", "x"); setString("p\\k", "", "d"); }, "v", true},
        {"a sub-key left", [&] { setString("p\\k", "v", "x"); createKey("p\\k\\sub"); }, "v", true},
        {"a long-named value left",
         [&] { setString("p\\k", "v", "x"); setString("p\\k", std::string(200, 'n').c_str(), "y"); }, "v", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.description);
        RegDeleteTreeA(HKEY_CURRENT_USER, subKey("p").c_str());
        c.prepare();
        ErrorText error;
        EXPECT_EQ(deleteRegistryValue(keyPath("p\\k").c_str(), c.deleted, error.get()), 0);
        EXPECT_FALSE(error.written());
        EXPECT_FALSE(stored("p\\k", c.deleted).has_value());
        EXPECT_EQ(keyExists("p\\k"), c.keyStays);
        EXPECT_TRUE(keyExists("p"));  // the parent stays, even when now empty
    }
}

TEST_F(RegistryWorkers, DeleteValueFailuresNameTheKeyPathAndKeepTheKey) {
    createKey("empty");
    ErrorText absent;
    EXPECT_EQ(deleteRegistryValue(keyPath("empty").c_str(), "v", absent.get()), kRegistryFailed);
    EXPECT_EQ(absent.text(), "ERREUR : erreur 2 (" + systemText(ERROR_FILE_NOT_FOUND) + ") de suppression de : " +
                                 keyPath("empty") + "\\v");
    EXPECT_NE(systemText(ERROR_FILE_NOT_FOUND).find("\r\n"), std::string::npos);
    EXPECT_TRUE(keyExists("empty"));

    ErrorText noKey;
    EXPECT_EQ(deleteRegistryValue(keyPath("missing").c_str(), "v", noKey.get()), kRegistryFailed);
    EXPECT_EQ(noKey.text(), "ERREUR : cl\xE9 non-valide : " + keyPath("missing"));
    EXPECT_FALSE(keyExists("missing"));
}

TEST_F(RegistryWorkers, TenThousandCharacterTextsOverrunNothing) {
    const std::string huge(10000, 'z');
    const std::string longKey = keyPath(huge);  // a sub-key name beyond the registry's limit
    const std::string key = keyPath();
    constexpr int kCode = 1;                    // any Windows error code
    struct Case {
        const char* description;
        std::function<int(char*)> call;
        int status;
        std::string message;  // whole; the buffer holds its first kErrorTextCapacity - 1 bytes
    };
    auto readInto = [](const std::string& keyPath, const char* name, char* error) {
        BYTE value[5001];
        DWORD type = 0, size = 5000;
        return readRegistryValue(keyPath.c_str(), name, value, &type, &size, error);
    };
    const std::vector<Case> cases = {
        {"read, long key", [&](char* e) { return readInto(longKey, "v", e); }, kCode, ""},
        {"write string, long key", [&](char* e) { return writeRegistryString(longKey.c_str(), "v", "x", e); },
         kRegistryFailed, "ERREUR : erreur de cr\xE9" "ation : " + longKey + "/" + subKey(huge)},
        {"write number, long key", [&](char* e) { return writeRegistryDword(longKey.c_str(), "v", 1, e); },
         kRegistryFailed, "ERREUR : erreur de cr\xE9" "ation : " + longKey + "/" + subKey(huge)},
        {"delete value, long key", [&](char* e) { return deleteRegistryValue(longKey.c_str(), "v", e); },
         kRegistryFailed, "ERREUR : cl\xE9 non-valide : " + longKey},
        {"delete key, long key", [&](char* e) { return deleteRegistryKey(longKey.c_str(), e); }, kRegistryFailed,
         "ERREUR : erreur de suppression de : HKEY_CURRENT_USER/" + subKey(huge)},
        {"root part, long", [&](char* e) { return deleteRegistryKey((huge + "\\x").c_str(), e); }, kRegistryFailed,
         "Erreur d'extraction de la cl\xE9 racine de \"" + huge + "\\x\""},
        {"write, long name", [&](char* e) { return writeRegistryString(key.c_str(), huge.c_str(), "x", e); }, 0, ""},
        {"write, long value", [&](char* e) { return writeRegistryString(key.c_str(), "long", huge.c_str(), e); }, 0,
         ""},
        {"read, long value", [&](char* e) { return readInto(key, "long", e); }, kRegistryFailed,
         "ERREUR : Manque de place pour stocker la r\xE9ponse, mimimum : 10001"},
        {"delete, long name", [&](char* e) { return deleteRegistryValue(key.c_str(), huge.c_str(), e); }, 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.description);
        ErrorText error;
        const int status = c.call(error.get());
        EXPECT_TRUE(error.guardIntact());
        if (c.status == kCode) {
            EXPECT_NE(status, 0);
            EXPECT_NE(status, kRegistryFailed);
        } else {
            EXPECT_EQ(status, c.status);
        }
        if (c.message.empty()) {
            EXPECT_FALSE(error.written());
        } else {
            EXPECT_EQ(error.text(), c.message.substr(0, kErrorTextCapacity - 1));
        }
    }
}

}  // namespace
