// A registry key of the running test's own, HKEY_CURRENT_USER\Software\KXRegistryTests\<test>,
// removed before and after each test, with direct registry access to set up and inspect it.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace registrytest {

struct Stored {
    DWORD type = REG_NONE;
    std::vector<std::uint8_t> bytes;  // as many as the registry's own size query counts
};

class TestKey : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The test key's path under HKEY_CURRENT_USER, optionally with a sub-key of it.
    std::string subKey(const std::string& below = "") const;
    // The same as a key path: "HKEY_CURRENT_USER\Software\KXRegistryTests\<test>[\below]".
    std::string keyPath(const std::string& below = "") const;

    void set(const std::string& below, const char* name, DWORD type, const void* data, DWORD size) const;
    void setString(const std::string& below, const char* name, const std::string& bytes) const {
        set(below, name, REG_SZ, bytes.data(), static_cast<DWORD>(bytes.size()));
    }
    void createKey(const std::string& below) const;
    bool keyExists(const std::string& below) const;
    std::optional<Stored> stored(const std::string& below, const char* name) const;

private:
    std::string name_;
};

std::string bytes(const Stored& stored);
// The system's text for a code as FormatMessageA gives it (final CR LF included), or "".
std::string systemText(DWORD code);

}  // namespace registrytest
