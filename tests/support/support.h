// Helpers shared by the test programs.
#pragma once

#if defined(_WIN32)
#include <windows.h>

#include <type_traits>
#include <vector>

namespace kxtest {

// Replaces one function that a module imports by name, in the module's import address
// table, for the life of the guard: the production code has no test hooks, the test
// swaps the system call under it. Works on a loaded DLL (LoadLibrary) and on the test
// program itself (GetModuleHandle(nullptr)). The DLL name matches case-insensitively.
// Throws std::runtime_error (a failure of the running gtest case) when the module does
// not import the function.
//
//   static kxtest::ImportPatch* create;
//   LONG WINAPI refuse(HKEY, LPCSTR, PHKEY) { return ERROR_ACCESS_DENIED; }
//   KX_PATCH_IMPORT(patch, module, "ADVAPI32.dll", RegCreateKeyA, refuse);
//   ... patch.original<decltype(RegCreateKeyA)>()(key, name, &out) forwards.
//
// Guards nest; destroy them in reverse order (as scopes do).
class ImportPatch {
public:
    ImportPatch(HMODULE module, const char* dll, const char* function, const void* replacement);
    template <class F, class = std::enable_if_t<std::is_function_v<F>>>
    ImportPatch(HMODULE module, const char* dll, const char* function, F* replacement)
        : ImportPatch(module, dll, function, reinterpret_cast<const void*>(replacement)) {}
    ~ImportPatch();
    ImportPatch(const ImportPatch&) = delete;
    ImportPatch& operator=(const ImportPatch&) = delete;

    // The address the slot held before: original<decltype(GetTickCount)>() or
    // original<DWORD(WINAPI*)()>().
    template <class F>
    auto original() const {
        if constexpr (std::is_function_v<F>)
            return reinterpret_cast<F*>(original_);
        else
            return reinterpret_cast<F>(original_);
    }

    // Whether the module imports the function by name from the DLL.
    static bool imports(HMODULE module, const char* dll, const char* function);

private:
    void** slot_;
    void* original_;
};

// Handle values that are open in this process now, probed with GetHandleInformation up to
// 1024 values past the last open one (handles are handed out lowest free first). Wine's
// GetProcessHandleCount answers 0, so leak checks compare these before and after:
//   const int before = kxtest::countOpenHandles();  ...call...  EXPECT_EQ(kxtest::countOpenHandles(), before);
std::vector<HANDLE> openHandles();
int countOpenHandles();

}  // namespace kxtest

// Declares a guard named <guard> that replaces <function>, checking at compile time that
// the replacement has the function's exact type (calling convention included).
#define KX_PATCH_IMPORT(guard, module, dll, function, replacement) \
    ::kxtest::ImportPatch guard((module), (dll), #function, static_cast<decltype(&function)>(replacement))

#endif
