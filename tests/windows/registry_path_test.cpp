// Key path resolution, its helpers and the registry's message texts: no registry needed.
#include "windows/registry_messages.h"
#include "windows/registry_path.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr char kCanary = '\x5A';

std::uint32_t keyValue(RootKey key) {
#if defined(_WIN32)
    return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(key));
#else
    return key;
#endif
}

// An area of `capacity` bytes followed by guard bytes that must stay untouched.
struct GuardedArea {
    explicit GuardedArea(std::size_t capacity) : capacity(capacity), bytes(capacity + 64, kCanary) {}
    char* data() { return bytes.data(); }
    bool guardIntact() const {
        for (std::size_t i = capacity; i < bytes.size(); ++i)
            if (bytes[i] != kCanary) return false;
        return true;
    }
    std::size_t capacity;
    std::vector<char> bytes;
};

struct Resolution {
    std::string keyPath;
    int status;
    std::uint32_t root;
    std::string subKeyOrMessage;
};

std::string repeat(char c, std::size_t n) { return std::string(n, c); }

TEST(KeyPathResolution, SplitsAtTheFirstBackslashAndNamesOneOfTheSevenRoots) {
    const std::string root79 = "HKEY_" + repeat('R', 74);
    const std::string root80 = "HKEY_" + repeat('R', 75);
    const std::vector<Resolution> cases = {
        {"HKEY_CLASSES_ROOT\\a", 0, 0x80000000u, "a"},
        {"HKEY_CURRENT_USER\\a", 0, 0x80000001u, "a"},
        {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Example\\Sub", 0, 0x80000002u, "SOFTWARE\\Example\\Sub"},
        {"HKEY_USERS\\a", 0, 0x80000003u, "a"},
        {"HKEY_PERFORMANCE_DATA\\a", 0, 0x80000004u, "a"},
        {"HKEY_CURRENT_CONFIG\\a", 0, 0x80000005u, "a"},
        {"HKEY_DYN_DATA\\a", 0, 0x80000006u, "a"},
        {"HKEY_CURRENT_USER\\", 0, 0x80000001u, ""},
        {"HKEY_USERS\\\\x/y", 0, 0x80000003u, "\\x/y"},
        {"HKEY_LOCAL_MACHINE", -1, 0, "ERREUR : cl\xE9 non-valide : HKEY_LOCAL_MACHINE"},
        {"HKEY_LOCAL_MACHINE/SOFTWARE", -1, 0, "ERREUR : cl\xE9 non-valide : HKEY_LOCAL_MACHINE/SOFTWARE"},
        {"", -1, 0, "ERREUR : cl\xE9 non-valide : "},
        {"\\SOFTWARE", -1, 0, "ERREUR : d\xE9" "but de cl\xE9 non-valide : "},
        {"hkey_local_machine\\SOFTWARE", -1, 0, "ERREUR : d\xE9" "but de cl\xE9 non-valide : hkey_local_machine"},
        {"HKLM\\SOFTWARE", -1, 0, "ERREUR : d\xE9" "but de cl\xE9 non-valide : HKLM"},
        {"HKEY_USERS \\x", -1, 0, "ERREUR : d\xE9" "but de cl\xE9 non-valide : HKEY_USERS "},
        {" HKEY_USERS\\x", -1, 0, "ERREUR : d\xE9" "but de cl\xE9 non-valide :  HKEY_USERS"},
        {"HKEY_CURRENT\\x", -1, 0, "ERREUR : d\xE9" "but de cl\xE9 non-valide : HKEY_CURRENT"},
        {"HKEY_CURRENT_USERS\\x", -1, 0, "ERREUR : d\xE9" "but de cl\xE9 non-valide : HKEY_CURRENT_USERS"},
        {root79 + "\\x", -1, 0, "ERREUR : d\xE9" "but de cl\xE9 non-valide : " + root79},
        {root80 + "\\x", -1, 0, "Erreur d'extraction de la cl\xE9 racine de \"" + root80 + "\\x\""},
    };
    for (const Resolution& c : cases) {
        SCOPED_TRACE(c.keyPath);
        char rootName[kRootNameCapacity];
        char error[400] = "untouched";
        const ResolvedKeyPath unset{RootKey{}, "unset"};
        ResolvedKeyPath resolved = unset;
        ASSERT_EQ(resolveKeyPath(c.keyPath.c_str(), rootName, &resolved, error, sizeof error), c.status);
        if (c.status == 0) {
            EXPECT_EQ(keyValue(resolved.root), c.root);
            // The sub-key part is the key path's own bytes, not a copy.
            EXPECT_EQ(resolved.subKey, c.keyPath.c_str() + c.keyPath.find('\\') + 1);
            EXPECT_EQ(std::string(resolved.subKey), c.subKeyOrMessage);
            EXPECT_STREQ(error, "untouched");
        } else {
            EXPECT_EQ(std::string(error), c.subKeyOrMessage);
            EXPECT_EQ(resolved.subKey, unset.subKey);
        }
    }
}

#if defined(_WIN32)
TEST(KeyPathResolution, RootsAreThePredefinedKeysOfWindows) {
    const std::vector<std::pair<const char*, HKEY>> roots = {
        {"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},       {"HKEY_CURRENT_USER", HKEY_CURRENT_USER},
        {"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},     {"HKEY_USERS", HKEY_USERS},
        {"HKEY_PERFORMANCE_DATA", HKEY_PERFORMANCE_DATA}, {"HKEY_CURRENT_CONFIG", HKEY_CURRENT_CONFIG},
        {"HKEY_DYN_DATA", HKEY_DYN_DATA},
    };
    for (const auto& [name, key] : roots) {
        HKEY found = nullptr;
        EXPECT_EQ(rootKeyFromName(name, &found), 0) << name;
        EXPECT_EQ(found, key) << name;
    }
}
#endif

TEST(KeyPathResolution, FailsWithoutMessageWhenGivenNoBuffer) {
    for (const char* keyPath : {"HKEY_LOCAL_MACHINE", "HKLM\\x", "\\x"}) {
        char rootName[kRootNameCapacity];
        ResolvedKeyPath resolved{};
        EXPECT_EQ(resolveKeyPath(keyPath, rootName, &resolved, nullptr, 400), kRegistryFailed) << keyPath;
    }
    const std::string longRoot = repeat('R', 100) + "\\x";
    char rootName[kRootNameCapacity];
    ResolvedKeyPath resolved{};
    EXPECT_EQ(resolveKeyPath(longRoot.c_str(), rootName, &resolved, nullptr, 400), kRegistryFailed);
}

TEST(KeyPathResolution, NeverWritesPastTheRootNameAreaOrTheErrorBuffer) {
    for (std::size_t rootLength : {0u, 1u, 78u, 79u, 80u, 81u, 200u, 10000u}) {
        for (const std::string& tail : {std::string("\\sub"), std::string("/no backslash"), "\\" + repeat('s', 10000)}) {
            const std::string keyPath = repeat('K', rootLength) + tail;
            SCOPED_TRACE(rootLength);
            GuardedArea rootName(kRootNameCapacity);
            GuardedArea error(400);
            ResolvedKeyPath resolved{};
            EXPECT_EQ(resolveKeyPath(keyPath.c_str(), rootName.data(), &resolved, error.data(), 400), kRegistryFailed);
            EXPECT_TRUE(rootName.guardIntact());
            EXPECT_TRUE(error.guardIntact());
            const std::size_t length = std::strlen(error.data());
            EXPECT_LE(length, 399u);
            const bool namesWholeKeyPath = tail[0] != '\\' || rootLength >= kRootNameCapacity;
            if (namesWholeKeyPath && keyPath.size() > 400) {
                EXPECT_EQ(length, 399u);
            }
        }
    }
}

TEST(RootKeyFromName, LeavesTheOutputUntouchedForAnUnknownName) {
    for (const char* name : {"", "HKEY", "HKEY_LOCAL_MACHINE ", "HKEY_local_machine", "HKCU"}) {
        RootKey key{};
        RootKey before = key;
        EXPECT_EQ(rootKeyFromName(name, &key), -1) << name;
        EXPECT_EQ(keyValue(key), keyValue(before)) << name;
    }
}

struct SubstringCase {
    const char* source;
    std::int32_t start;
    std::uint32_t count;
    const char* copied;  // nullptr: refused
};

TEST(CopySubstring, CopiesOnlyARangeThatEndsBeforeTheLastCharacter) {
    const std::vector<SubstringCase> cases = {
        {"abcdef", 0, 3, "abc"},
        {"abcdef", 2, 3, "cde"},
        {"abcdef", 0, 5, "abcde"},
        {"abcdef", 5, 0, ""},
        {"abcdef", 0, 6, nullptr},   // would reach the last character's end
        {"abcdef", 6, 0, nullptr},
        {"abcdef", -1, 2, nullptr},
        {"abcdef", 1, 0xFFFFFFFFu, nullptr},  // start + count wraps in 32 bits
        {"abcdef", 0x7FFFFFFF, 0x80000002u, nullptr},
        {"", 0, 0, nullptr},
    };
    for (const SubstringCase& c : cases) {
        SCOPED_TRACE(std::string(c.source) + " start " + std::to_string(c.start) + " count " + std::to_string(c.count));
        GuardedArea destination(8);
        const char* result = copySubstring(destination.data(), c.source, c.start, c.count);
        if (c.copied == nullptr) {
            EXPECT_EQ(result, nullptr);
            EXPECT_EQ(destination.bytes[0], kCanary);
        } else {
            EXPECT_EQ(result, destination.data());
            EXPECT_STREQ(result, c.copied);
        }
        EXPECT_TRUE(destination.guardIntact());
    }
}

TEST(CopySubstring, RefusesNullPointers) {
    char destination[8];
    EXPECT_EQ(copySubstring(nullptr, "abcdef", 0, 1), nullptr);
    EXPECT_EQ(copySubstring(destination, nullptr, 0, 1), nullptr);
}

TEST(RegistryMessages, AreComposedByteForByte) {
    char area[400];
    const std::vector<std::pair<std::string, std::string>> cases = {
        {invalidKeyMessage(area, sizeof area, "HKEY_X"), "ERREUR : cl\xE9 non-valide : HKEY_X"},
        {invalidRootMessage(area, sizeof area, "HKLM"), "ERREUR : d\xE9" "but de cl\xE9 non-valide : HKLM"},
        {rootExtractionMessage(area, sizeof area, "K\\s"), "Erreur d'extraction de la cl\xE9 racine de \"K\\s\""},
        {readFailedMessage(area, sizeof area, "HKEY_CURRENT_USER\\S", "v", "Not found (2=0x2)"),
         "Error reading key value \"HKEY_CURRENT_USER\\S/v\" : Erreur Windows : Not found (2=0x2)"},
        {noRoomMessage(area, sizeof area, 5001), "ERREUR : Manque de place pour stocker la r\xE9ponse, mimimum : 5001"},
        {createFailedMessage(area, sizeof area, "HKEY_CURRENT_USER\\S\\T", "S\\T"),
         "ERREUR : erreur de cr\xE9" "ation : HKEY_CURRENT_USER\\S\\T/S\\T"},
        {writeStringFailedMessage(area, sizeof area, "HKEY_USERS\\S", "v", "text"),
         "ERREUR : erreur d'\xE9" "criture de : HKEY_USERS\\S/v=text"},
        {writeNumberFailedMessage(area, sizeof area, 5, "Access denied.\r\n", "HKEY_USERS\\S", "v", -1),
         "ERREUR : erreur 5 (Access denied.\r\n) d'\xE9" "criture de : HKEY_USERS\\S/v=-1"},
        {deleteKeyFailedMessage(area, sizeof area, "HKEY_USERS", "S\\T"),
         "ERREUR : erreur de suppression de : HKEY_USERS/S\\T"},
        {deleteValueFailedMessage(area, sizeof area, 2, "", "HKEY_USERS\\S", "v"),
         "ERREUR : erreur 2 () de suppression de : HKEY_USERS\\S\\v"},
    };
    for (const auto& [composed, expected] : cases) EXPECT_EQ(composed, expected);
}

TEST(RegistryMessages, AreCutAtTheAreaAndSkippedWithoutOne) {
    const std::string huge = repeat('x', 10000);
    GuardedArea area(400);
    writeStringFailedMessage(area.data(), 400, huge.c_str(), huge.c_str(), huge.c_str());
    EXPECT_EQ(std::strlen(area.data()), 399u);
    EXPECT_EQ(std::string(area.data(), 29), "ERREUR : erreur d'\xE9" "criture de");
    EXPECT_TRUE(area.guardIntact());
    EXPECT_EQ(invalidKeyMessage(nullptr, 400, "x"), nullptr);
}

}  // namespace
