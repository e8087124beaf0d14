#include "tests/windows/registry_fixture.h"

namespace registrytest {

namespace {

constexpr const char* kTestsKey = "Software\\KXRegistryTests";

}  // namespace

void TestKey::SetUp() {
    name_ = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    RegDeleteTreeA(HKEY_CURRENT_USER, subKey().c_str());
}

void TestKey::TearDown() {
    RegDeleteTreeA(HKEY_CURRENT_USER, subKey().c_str());
    EXPECT_FALSE(keyExists(""));
    // Goes only once no other test key is left under it.
    RegDeleteKeyA(HKEY_CURRENT_USER, kTestsKey);
}

std::string TestKey::subKey(const std::string& below) const {
    return std::string(kTestsKey) + "\\" + name_ + (below.empty() ? "" : "\\" + below);
}

std::string TestKey::keyPath(const std::string& below) const { return "HKEY_CURRENT_USER\\" + subKey(below); }

void TestKey::set(const std::string& below, const char* name, DWORD type, const void* data, DWORD size) const {
    ASSERT_EQ(RegSetKeyValueA(HKEY_CURRENT_USER, subKey(below).c_str(), name, type, data, size), ERROR_SUCCESS);
}

void TestKey::createKey(const std::string& below) const {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, subKey(below).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                              nullptr),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

bool TestKey::keyExists(const std::string& below) const {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, subKey(below).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

std::optional<Stored> TestKey::stored(const std::string& below, const char* name) const {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, subKey(below).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return std::nullopt;
    Stored value;
    DWORD size = 0;
    // The size query: Wine leaves a zero after a REG_SZ text in a read buffer, whatever was stored.
    LONG status = RegQueryValueExA(key, name, nullptr, &value.type, nullptr, &size);
    if (status == ERROR_SUCCESS) {
        DWORD capacity = size + 2;
        value.bytes.resize(capacity);
        status = RegQueryValueExA(key, name, nullptr, &value.type, value.bytes.data(), &capacity);
        value.bytes.resize(size);
    }
    RegCloseKey(key);
    if (status != ERROR_SUCCESS) return std::nullopt;
    return value;
}

std::string bytes(const Stored& stored) { return std::string(stored.bytes.begin(), stored.bytes.end()); }

std::string systemText(DWORD code) {
    char* text = nullptr;
    FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_FROM_SYSTEM, nullptr,
                   code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<char*>(&text), 0, nullptr);
    std::string result = text != nullptr ? text : "";
    LocalFree(text);
    return result;
}

}  // namespace registrytest
