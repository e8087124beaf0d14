// The registry's native methods of KXWindows.dll, called through the JNI host as a JVM
// calls them, against Wine's registry under the test's own key.
#include "kx_util_windows_KXWindows.h"

#include "jni/errors.h"
#include "jnihost/jnihost.h"
#include "tests/support/support.h"
#include "tests/windows/registry_fixture.h"

#include <cstdlib>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace {

using jnihost::widen;
using registrytest::systemText;

// Heap blocks that the library took from the C runtime and has not given back: its 8-bit
// copies of Java strings and its temporary UTF-16 arrays.
std::set<void*> g_live;
decltype(&malloc) g_malloc;
decltype(&calloc) g_calloc;
decltype(&realloc) g_realloc;
decltype(&free) g_free;
void* __cdecl trackMalloc(size_t size) {
    void* block = g_malloc(size);
    if (block != nullptr) g_live.insert(block);
    return block;
}
void* __cdecl trackCalloc(size_t count, size_t size) {
    void* block = g_calloc(count, size);
    if (block != nullptr) g_live.insert(block);
    return block;
}
void* __cdecl trackRealloc(void* old, size_t size) {
    void* block = g_realloc(old, size);
    if (block != nullptr) {
        g_live.erase(old);
        g_live.insert(block);
    }
    return block;
}
void __cdecl trackFree(void* block) {
    g_live.erase(block);
    g_free(block);
}

class AllocationTracker {
public:
    explicit AllocationTracker(HMODULE library)
        : malloc_(library, "msvcrt.dll", "malloc", static_cast<decltype(&malloc)>(trackMalloc)),
          calloc_(library, "msvcrt.dll", "calloc", static_cast<decltype(&calloc)>(trackCalloc)),
          realloc_(library, "msvcrt.dll", "realloc", static_cast<decltype(&realloc)>(trackRealloc)),
          free_(library, "msvcrt.dll", "free", static_cast<decltype(&free)>(trackFree)) {
        g_malloc = malloc_.original<decltype(malloc)>();
        g_calloc = calloc_.original<decltype(calloc)>();
        g_realloc = realloc_.original<decltype(realloc)>();
        g_free = free_.original<decltype(free)>();
        g_live.clear();
    }
    std::size_t live() const { return g_live.size(); }

private:
    kxtest::ImportPatch malloc_, calloc_, realloc_, free_;
};

// Counts calls that reach the registry, and refuses them.
int g_registryCalls = 0;
LONG WINAPI countOpen(HKEY, LPCSTR, DWORD, REGSAM, PHKEY) { return ++g_registryCalls, ERROR_ACCESS_DENIED; }
LONG WINAPI countCreate(HKEY, LPCSTR, PHKEY) { return ++g_registryCalls, ERROR_ACCESS_DENIED; }
LONG WINAPI countDeleteKey(HKEY, LPCSTR) { return ++g_registryCalls, ERROR_ACCESS_DENIED; }
LONG WINAPI refuseSetValue(HKEY, LPCSTR, DWORD, DWORD, const BYTE*, DWORD) { return ERROR_ACCESS_DENIED; }

class RegistryNatives : public registrytest::TestKey {
protected:
    jnihost::Host host;
    JNIEnv* env = host.env();
    jclass cls = host.receiver();
    jnihost::Library library{"KXWindows.dll"};
    HMODULE module = static_cast<HMODULE>(library.handle());
    AllocationTracker allocations{module};

    decltype(&Java_kx_util_windows_KXWindows_readRegisterKeyValue) readNative =
        KX_NATIVE(library, Java_kx_util_windows_KXWindows_readRegisterKeyValue);
    decltype(&Java_kx_util_windows_KXWindows_writeRegisterKeyValue__Ljava_lang_String_2Ljava_lang_String_2Ljava_lang_String_2)
        writeStringNative = KX_NATIVE(
            library,
            Java_kx_util_windows_KXWindows_writeRegisterKeyValue__Ljava_lang_String_2Ljava_lang_String_2Ljava_lang_String_2);
    decltype(&Java_kx_util_windows_KXWindows_writeRegisterKeyValue__Ljava_lang_String_2Ljava_lang_String_2I)
        writeNumberNative =
            KX_NATIVE(library, Java_kx_util_windows_KXWindows_writeRegisterKeyValue__Ljava_lang_String_2Ljava_lang_String_2I);
    decltype(&Java_kx_util_windows_KXWindows_deleteRegisterKey) deleteKeyNative =
        KX_NATIVE(library, Java_kx_util_windows_KXWindows_deleteRegisterKey);
    decltype(&Java_kx_util_windows_KXWindows_deleteRegisterKeyValue) deleteValueNative =
        KX_NATIVE(library, Java_kx_util_windows_KXWindows_deleteRegisterKeyValue);

    jstring java(const std::string& bytes) { return host.latin1(bytes); }

    // The natives with 8-bit arguments; each checks what every call must leave behind.
    std::optional<std::u16string> read(const std::string& keyPath, const std::string& name) {
        const jstring result = readNative(env, cls, java(keyPath), java(name));
        std::optional<std::u16string> text;
        if (result != nullptr) text = host.text(result);
        EXPECT_EQ(result == nullptr, host.pending());
        settle();
        return text;
    }
    bool writeString(const std::string& keyPath, const std::string& name, const std::string& value) {
        return checked(writeStringNative(env, cls, java(keyPath), java(name), java(value)));
    }
    bool writeNumber(const std::string& keyPath, const std::string& name, jint value) {
        return checked(writeNumberNative(env, cls, java(keyPath), java(name), value));
    }
    bool deleteKey(const std::string& keyPath) { return checked(deleteKeyNative(env, cls, java(keyPath))); }
    bool deleteValue(const std::string& keyPath, const std::string& name) {
        return checked(deleteValueNative(env, cls, java(keyPath), java(name)));
    }

    bool checked(jboolean result) {
        EXPECT_TRUE(result == JNI_TRUE || result == JNI_FALSE);
        EXPECT_EQ(result == JNI_FALSE, host.pending()) << "true on success, false with an exception";
        settle();
        return result == JNI_TRUE;
    }
    // Nothing pinned, every 8-bit copy released; local references go as the JVM drops them.
    void settle() {
        EXPECT_EQ(host.pinnedStrings(), 0);
        EXPECT_EQ(allocations.live(), 0u);
        host.resetLocalReferences();
    }

    // The pending exception's class and message (each byte one char); clears it.
    void expectRaised(const char* className, const std::u16string& message) {
        ASSERT_TRUE(host.pending());
        EXPECT_EQ(host.exception().className, className);
        EXPECT_EQ(host.exception().message(), message) << jnihost::narrow(host.exception().message());
        EXPECT_FALSE(host.exception().thrownWithThrowNew) << "raised through the (String) constructor";
        host.clearPending();
    }
    void expectRaised(const std::string& messageBytes) { expectRaised("java/lang/Exception", widen(messageBytes)); }
};

TEST_F(RegistryNatives, ReadReturnsTheValueAsTextUpToItsFirstZero) {
    const DWORD letterA = 0x41, zero = 0, dcba = 0x41424344;
    const char multi[] = "one\0two\0";
    set("", "terminated", REG_SZ, "abc", 4);
    set("", "bare", REG_SZ, "abc#", 3);
    set("", "empty", REG_SZ, "", 0);
    set("", "accents", REG_SZ, "caf\xE9 \xE8", 7);
    set("", "A", REG_DWORD, &letterA, 4);
    set("", "zero", REG_DWORD, &zero, 4);
    set("", "DCBA", REG_DWORD, &dcba, 4);
    set("", "multi", REG_MULTI_SZ, multi, sizeof multi);
    const std::string full(5000, 'x');
    set("", "5000", REG_BINARY, full.data(), 5000);
    set("", "", REG_SZ, "default", 8);
    const std::vector<std::pair<const char*, std::u16string>> cases = {
        {"terminated", u"abc"}, {"bare", u"abc"},   {"empty", u""},           {"accents", u"caf\u00e9 \u00e8"},
        {"A", u"A"},            {"zero", u""},      {"DCBA", u"DCBA"},        {"multi", u"one"},
        {"5000", widen(full)},  {"", u"default"},
    };
    for (const auto& [name, text] : cases) {
        EXPECT_EQ(read(keyPath(), name), text) << name;
        EXPECT_FALSE(host.pending()) << name;
    }
}

TEST_F(RegistryNatives, WrittenValuesReadBackAsWritten) {
    const std::string longest(4999, 'w');  // the registry keeps a zero after it: 5000 bytes
    const std::vector<std::pair<const char*, std::string>> texts = {
        {"text", "caf\xE9 cr\xE8me"}, {"empty", ""}, {"longest", longest}, {"", "default"}};
    for (const auto& [name, text] : texts) {
        EXPECT_TRUE(writeString(keyPath("new\\deeper"), name, text)) << name;
        EXPECT_EQ(read(keyPath("new\\deeper"), name), widen(text)) << name;
    }
    EXPECT_TRUE(writeNumber(keyPath("new\\deeper"), "number", 0x41));
    EXPECT_EQ(read(keyPath("new\\deeper"), "number"), u"A");
    EXPECT_TRUE(writeNumber(keyPath("new\\deeper"), "number", -1));
    EXPECT_EQ(registrytest::bytes(*stored("new\\deeper", "number")), "\xFF\xFF\xFF\xFF");
}

TEST_F(RegistryNatives, ReadFailuresRaiseAndReturnNull) {
    createKey("");
    const std::string full(5001, 'x');
    set("", "5001", REG_BINARY, full.data(), 5001);
    char fileNotFound[kSystemTextCapacity];
    formatWindowsError(ERROR_FILE_NOT_FOUND, fileNotFound, sizeof fileNotFound);
    ASSERT_NE(std::string(fileNotFound), "");

    EXPECT_EQ(read(keyPath(), "absent"), std::nullopt);
    expectRaised("Error reading key value \"" + keyPath() + "/absent\" : Erreur Windows : " + fileNotFound);
    EXPECT_EQ(read(keyPath("missing"), "v"), std::nullopt);
    expectRaised("Error reading key value \"" + keyPath("missing") + "/v\" : Erreur Windows : " + fileNotFound);
    EXPECT_EQ(read(keyPath(), "5001"), std::nullopt);
    expectRaised("ERREUR : Manque de place pour stocker la r\xE9ponse, mimimum : 5001");
    EXPECT_EQ(read("HKEY_CURRENT_USER", "v"), std::nullopt);
    expectRaised("ERREUR : cl\xE9 non-valide : HKEY_CURRENT_USER");
}

TEST_F(RegistryNatives, DeletionsReturnTrueOrRaiseAndReturnFalse) {
    setString("k", "v", "x");
    setString("k", "w", "y");
    createKey("k\\sub");

    EXPECT_FALSE(deleteKey(keyPath("k")));
    expectRaised("ERREUR : erreur de suppression de : HKEY_CURRENT_USER/" + subKey("k"));
    EXPECT_FALSE(deleteValue(keyPath("k"), "absent"));
    expectRaised("ERREUR : erreur 2 (" + systemText(ERROR_FILE_NOT_FOUND) + ") de suppression de : " + keyPath("k") +
                 "\\absent");
    EXPECT_FALSE(deleteValue(keyPath("gone"), "v"));
    expectRaised("ERREUR : cl\xE9 non-valide : " + keyPath("gone"));

    EXPECT_TRUE(deleteKey(keyPath("k\\sub")));
    EXPECT_TRUE(deleteValue(keyPath("k"), "v"));
    EXPECT_TRUE(keyExists("k"));
    EXPECT_TRUE(deleteValue(keyPath("k"), "w"));
    EXPECT_FALSE(keyExists("k")) << "emptied by the deletion";
    EXPECT_FALSE(host.pending());
}

TEST_F(RegistryNatives, RefusedWritesRaiseTheirMessagesWithTheSystemTextLineBreak) {
    KX_PATCH_IMPORT(patch, module, "ADVAPI32.dll", RegSetValueExA, refuseSetValue);
    EXPECT_FALSE(writeNumber(keyPath(), "v", -7));
    expectRaised("ERREUR : erreur 5 (" + systemText(ERROR_ACCESS_DENIED) + ") d'\xE9" "criture de : " + keyPath() +
                 "/v=-7");
    EXPECT_FALSE(writeString(keyPath(), "v", "t"));
    expectRaised("ERREUR : erreur d'\xE9" "criture de : " + keyPath() + "/v=t");
    EXPECT_FALSE(writeString("HKLM\\x", "v", "t"));
    expectRaised("ERREUR : d\xE9" "but de cl\xE9 non-valide : HKLM");
}

TEST_F(RegistryNatives, NullStringsRaiseNullPointerExceptionBeforeAnyRegistryCall) {
    KX_PATCH_IMPORT(open, module, "ADVAPI32.dll", RegOpenKeyExA, countOpen);
    KX_PATCH_IMPORT(create, module, "ADVAPI32.dll", RegCreateKeyA, countCreate);
    KX_PATCH_IMPORT(remove, module, "ADVAPI32.dll", RegDeleteKeyA, countDeleteKey);
    g_registryCalls = 0;
    const jstring k = java(keyPath()), v = java("v"), t = java("t");
    struct Case {
        const char* parameter;
        std::function<bool()> returnsFailureValue;
    };
    const std::vector<Case> cases = {
        {"keyPath", [&] { return readNative(env, cls, nullptr, v) == nullptr; }},
        {"valueName", [&] { return readNative(env, cls, k, nullptr) == nullptr; }},
        {"keyPath", [&] { return readNative(env, cls, nullptr, nullptr) == nullptr; }},
        {"keyPath", [&] { return writeStringNative(env, cls, nullptr, v, t) == JNI_FALSE; }},
        {"valueName", [&] { return writeStringNative(env, cls, k, nullptr, t) == JNI_FALSE; }},
        {"value", [&] { return writeStringNative(env, cls, k, v, nullptr) == JNI_FALSE; }},
        {"keyPath", [&] { return writeNumberNative(env, cls, nullptr, v, 1) == JNI_FALSE; }},
        {"valueName", [&] { return writeNumberNative(env, cls, k, nullptr, 1) == JNI_FALSE; }},
        {"keyPath", [&] { return deleteKeyNative(env, cls, nullptr) == JNI_FALSE; }},
        {"keyPath", [&] { return deleteValueNative(env, cls, nullptr, v) == JNI_FALSE; }},
        {"valueName", [&] { return deleteValueNative(env, cls, k, nullptr) == JNI_FALSE; }},
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_TRUE(cases[i].returnsFailureValue());
        EXPECT_EQ(host.pinnedStrings(), 0);
        EXPECT_EQ(allocations.live(), 0u);
        expectRaised("java/lang/NullPointerException", widen(std::string(cases[i].parameter) + " is null"));
    }
    EXPECT_EQ(g_registryCalls, 0);
}

TEST_F(RegistryNatives, MessagesReachJavaOneCharPerByte) {
    // U+20AC keeps its low byte 0xAC; U+00FF stays 0xFF; é of the message is U+00E9.
    EXPECT_FALSE(checked(deleteKeyNative(env, cls, host.string(u"HK\u20ac\u00ff\\x"))));
    expectRaised("java/lang/Exception", u"ERREUR : d\u00e9but de cl\u00e9 non-valide : HK\u00ac\u00ff");
}

TEST_F(RegistryNatives, TenThousandCharacterArgumentsGiveTheirResultOrACutMessage) {
    const std::string huge(10000, 'h');
    EXPECT_FALSE(writeString(keyPath(huge), "v", "t"));
    ASSERT_TRUE(host.pending());
    EXPECT_EQ(host.exception().message().size(), static_cast<std::size_t>(kErrorTextCapacity - 1));
    expectRaised(("ERREUR : erreur de cr\xE9" "ation : " + keyPath(huge)).substr(0, kErrorTextCapacity - 1));

    EXPECT_EQ(read(huge + "\\x", "v"), std::nullopt);
    expectRaised(("Erreur d'extraction de la cl\xE9 racine de \"" + huge).substr(0, kErrorTextCapacity - 1));

    EXPECT_TRUE(writeString(keyPath(), huge, "named"));
    EXPECT_EQ(read(keyPath(), huge), u"named");
    EXPECT_TRUE(writeString(keyPath(), "long", huge));
    EXPECT_EQ(read(keyPath(), "long"), std::nullopt);
    expectRaised("ERREUR : Manque de place pour stocker la r\xE9ponse, mimimum : 10001");
    EXPECT_FALSE(deleteValue(keyPath(), huge + "x"));
    ASSERT_TRUE(host.pending());
    EXPECT_EQ(host.exception().message().size(), static_cast<std::size_t>(kErrorTextCapacity - 1));
    host.clearPending();
}

TEST_F(RegistryNatives, TenThousandMixedCallsLeaveTheHandleCountWhereItWas) {
    const std::string key = keyPath("loop");
    ASSERT_TRUE(writeString(key, "keep", "k"));  // the key stays between rounds
    const int before = kxtest::countOpenHandles();
    for (int i = 0; i < 10000; ++i) {
        switch (i % 8) {
            case 0: EXPECT_TRUE(writeString(key, "s", "text")); break;
            case 1: EXPECT_TRUE(writeNumber(key, "n", i)); break;
            case 2: EXPECT_EQ(read(key, "s"), u"text"); break;
            case 3: EXPECT_EQ(read(key, "absent"), std::nullopt); break;
            case 4: EXPECT_TRUE(deleteValue(key, "s")); break;
            case 5: EXPECT_FALSE(deleteValue(key, "absent")); break;
            case 6: EXPECT_FALSE(deleteKey(keyPath())); break;  // has a sub-key
            case 7: EXPECT_FALSE(writeNumber("HKLM\\x", "n", i)); break;
        }
        host.clearPending();
        if (HasFailure()) break;
    }
    EXPECT_EQ(kxtest::countOpenHandles(), before);
}

}  // namespace
