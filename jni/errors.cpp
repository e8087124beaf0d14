#include "jni/errors.h"

#include "jni/format.h"
#include "jni/strings.h"

void throwJavaException(JNIEnv* env, const char* message) { throwWithMessage(env, "java/lang/Exception", message); }

#if defined(_WIN32)
namespace {

// The text block that FormatMessageA allocates, released with LocalFree.
struct SystemText {
    char* text = nullptr;
    ~SystemText() {
        if (text != nullptr) LocalFree(text);
    }
};

void blankLineBreaks(char* text) {
    for (char* c = text; *c != '\0'; ++c)
        if (*c == '\r' || *c == '\n') *c = ' ';
}

}  // namespace

char* formatWindowsError(DWORD code, char* out, int capacity) {
    if (capacity <= 0) return out;
    SystemText system;
    const DWORD n = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_FROM_SYSTEM, nullptr, code,
        MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<char*>(&system.text), 0, nullptr);
    // Room for the text less its CR LF, " (", ")", "=0x", the terminator and 9 digits.
    if (n == 0 || system.text == nullptr || static_cast<long long>(capacity) < static_cast<long long>(n) + 14) {
        out[0] = '\0';
        return out;
    }
    const int length = lstrlenA(system.text);
    system.text[length < 2 ? 0 : length - 2] = '\0';
    // Codes above 65535 may need more digits than reserved: formatInto cuts them.
    formatInto(out, static_cast<size_t>(capacity), "%s (%ld=0x%lX)", system.text,
               static_cast<long>(static_cast<LONG>(code)), static_cast<unsigned long>(code));
    blankLineBreaks(out);
    return out;
}

char* formatLastError(char* out, int capacity) { return formatWindowsError(GetLastError(), out, capacity); }

void throwWindowsError(JNIEnv* env, const char* context) {
    char systemText[kSystemTextCapacity];
    formatLastError(systemText, sizeof systemText);
    char message[kErrorTextCapacity];
    throwJavaException(env, formatInto(message, sizeof message, "%s : Windows error : %s", context, systemText));
}
#endif
