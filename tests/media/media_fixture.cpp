#include "tests/media/media_fixture.h"

#include "media/frame.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <iterator>

#if defined(_WIN32)
#include <windows.h>

#include "tests/support/support.h"
#elif defined(__SANITIZE_ADDRESS__)
// AddressSanitizer's allocator (gcc ships no header for it): nonzero while p is allocated.
extern "C" int __sanitizer_get_ownership(const volatile void* p);
#endif

namespace mediatest {

jnihost::Library& library() {
#if defined(_WIN32)
    static jnihost::Library media(KX_MEDIA_LIBRARY);
#else
    static jnihost::Library media(std::string("./") + KX_MEDIA_LIBRARY);
#endif
    return media;
}

std::vector<long long> argumentsOf(int ordinal) {
    std::vector<long long> arguments;
    for (int i = 0; i < standinLastArgumentCount(ordinal); ++i) arguments.push_back(standinLastArgument(ordinal, i));
    return arguments;
}

std::string textOf(int ordinal) {
    char text[1024];
    const int length = standinLastText(ordinal, text, sizeof text);
    return length < 0 ? "(none)" : std::string(text, static_cast<size_t>(length));
}

std::string describe(jnihost::Host&, jint value) { return "int " + std::to_string(value); }

std::string describe(jnihost::Host&, jfloat value) {
    char text[64];
    std::snprintf(text, sizeof text, "float %.9g", static_cast<double>(value));
    return text;
}

std::string describe(jnihost::Host& host, jobject value) {
    if (value == nullptr) return "null";
    const jnihost::Object& object = host.object(value);
    if (object.kind == jnihost::Object::Kind::String) {
        std::string text = "string \"";
        for (char16_t unit : object.text) {
            char escaped[8];
            if (unit >= 0x20 && unit <= 0x7E) {
                text += static_cast<char>(unit);
            } else {
                std::snprintf(escaped, sizeof escaped, "\\u%04X", static_cast<unsigned>(unit));
                text += escaped;
            }
        }
        return text + "\"";
    }
    std::string text = object.className.substr(object.className.rfind('/') + 1) + "(";
    for (size_t i = 0; i < object.arguments.size(); ++i)
        text += (i ? ", " : "") + std::to_string(object.arguments[i].integer);
    return text + ")";
}

std::string describeVoid() { return "void"; }

// --- Diagnostics ---------------------------------------------------------------------------

#if defined(_WIN32)

namespace {
std::vector<DiagnosticWatch::Box>* shownBoxes = nullptr;

int WINAPI recordBox(HWND, LPCSTR text, LPCSTR caption, UINT style) {
    if (shownBoxes != nullptr) shownBoxes->push_back({text ? text : "(null)", caption ? caption : "(null)", style});
    return IDOK;
}
}  // namespace

struct DiagnosticWatch::Patches {
    std::vector<Box> boxes;
    kxtest::ImportPatch media{static_cast<HMODULE>(library().handle()), "USER32.dll", "MessageBoxA",
                              static_cast<decltype(&MessageBoxA)>(recordBox)};
    kxtest::ImportPatch program{GetModuleHandleA(nullptr), "USER32.dll", "MessageBoxA",
                                static_cast<decltype(&MessageBoxA)>(recordBox)};
};

DiagnosticWatch::DiagnosticWatch() : patches_(new Patches) { shownBoxes = &patches_->boxes; }
DiagnosticWatch::~DiagnosticWatch() { shownBoxes = nullptr; }
std::vector<DiagnosticWatch::Box> DiagnosticWatch::boxes() { return patches_->boxes; }

#else

struct DiagnosticWatch::Patches {
    bool capturing = true;
    std::vector<Box> boxes;
};

DiagnosticWatch::DiagnosticWatch() : patches_(new Patches) { testing::internal::CaptureStderr(); }
DiagnosticWatch::~DiagnosticWatch() { boxes(); }

std::vector<DiagnosticWatch::Box> DiagnosticWatch::boxes() {
    if (patches_->capturing) {
        patches_->capturing = false;
        const std::string written = testing::internal::GetCapturedStderr();
        for (size_t start = 0; start < written.size();) {
            const size_t end = written.find('\n', start);
            patches_->boxes.push_back({written.substr(start, end - start), "", 0});
            if (end == std::string::npos) break;
            start = end + 1;
        }
    }
    return patches_->boxes;
}

#endif

// --- Heap ------------------------------------------------------------------------------------

#if defined(_WIN32)

namespace {
// Fixed storage: the replacements must not allocate.
struct TrackedBlock {
    void* address;
    bool live;
};
TrackedBlock trackedBlocks[4096];
size_t trackedCount = 0;
void* (*realMalloc)(size_t) = nullptr;
void (*realFree)(void*) = nullptr;

void* __cdecl trackedMalloc(size_t size) {
    void* block = realMalloc(size);
    if (block != nullptr && trackedCount < std::size(trackedBlocks)) trackedBlocks[trackedCount++] = {block, true};
    return block;
}

void __cdecl trackedFree(void* block) {
    for (size_t i = trackedCount; i-- > 0;) {
        if (trackedBlocks[i].address == block && trackedBlocks[i].live) {
            trackedBlocks[i].live = false;
            break;
        }
    }
    realFree(block);
}
}  // namespace

struct HeapWatch::Patches {
    kxtest::ImportPatch malloc{static_cast<HMODULE>(library().handle()), "msvcrt.dll", "malloc", &trackedMalloc};
    kxtest::ImportPatch free{static_cast<HMODULE>(library().handle()), "msvcrt.dll", "free", &trackedFree};
};

HeapWatch::HeapWatch() : patches_(new Patches) {
    trackedCount = 0;
    realMalloc = patches_->malloc.original<void* (*)(size_t)>();
    realFree = patches_->free.original<void (*)(void*)>();
}
HeapWatch::~HeapWatch() = default;
bool HeapWatch::available() { return true; }

bool HeapWatch::allocated(long long address) {
    for (size_t i = trackedCount; i-- > 0;) {
        if (reinterpret_cast<std::uintptr_t>(trackedBlocks[i].address) == static_cast<std::uintptr_t>(address))
            return trackedBlocks[i].live;
    }
    ADD_FAILURE() << "the block at " << address << " was not allocated by KXMedia while watched";
    return true;
}

#else

struct HeapWatch::Patches {};
HeapWatch::HeapWatch() = default;
HeapWatch::~HeapWatch() = default;

bool HeapWatch::available() {
#if defined(__SANITIZE_ADDRESS__)
    return true;
#else
    return false;
#endif
}

bool HeapWatch::allocated(long long address) {
#if defined(__SANITIZE_ADDRESS__)
    return __sanitizer_get_ownership(reinterpret_cast<const void*>(static_cast<std::uintptr_t>(address))) != 0;
#else
    (void)address;
    return false;
#endif
}

#endif

// --- Fixture ---------------------------------------------------------------------------------

void MediaTest::SetUp() { standinReset(); }

void MediaTest::TearDown() {
    host.clearPending();
    standinReset();
    for (jlong handle : matrices) {
        KX_NATIVE(library(), Java_kx_util_kxmedia_KXMediaNative_deleteMatrix)(env(), cls(), handle);
        EXPECT_EQ(takePending(), "") << "deleting a test matrix";
    }
    EXPECT_EQ(host.pinnedStrings(), 0) << "Java strings left pinned";
}

jlong MediaTest::matrix() {
    const jlong handle = KX_NATIVE(library(), Java_kx_util_kxmedia_KXMediaNative_createMatrix)(env(), cls(), 4, 2, 48000);
    EXPECT_EQ(takePending(), "");
    EXPECT_NE(handle, 0);
    if (handle != 0) matrices.push_back(handle);
    return handle;
}

MatrixRef MediaTest::referenceOf(jlong handle) { return *cellOfHandle(handle); }

jint MediaTest::raisedStatus() {
    if (!host.pending()) {
        ADD_FAILURE() << "no exception pending";
        return 0;
    }
    const jnihost::PendingException& pending = host.exception();
    EXPECT_EQ(pending.className, kExceptionClass);
    EXPECT_FALSE(pending.thrownWithThrowNew);
    const jint status = pending.status();
    host.clearPending();
    return status;
}

std::string MediaTest::takePending() {
    if (!host.pending()) return "";
    const std::string name = host.exception().className;
    host.clearPending();
    return name;
}

}  // namespace mediatest
