#include "jni/errors.h"

#include "jni/format.h"
#include "jni/strings.h"

void throwJavaException(JNIEnv* env, const char* message) { throwWithMessage(env, "java/lang/Exception", message); }

#if defined(_WIN32)
namespace {

void blankLineBreaks(char* text) {
    for (char* c = text; *c != '\0'; ++c)
        if (*c == '\r' || *c == '\n') *c = ' ';
}

}  // namespace

SystemText::SystemText(DWORD code)
    : length_(FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_FROM_SYSTEM,
                             nullptr, code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<char*>(&text_),
                             0, nullptr)) {
    if (text_ == nullptr) length_ = 0;
}

SystemText::~SystemText() {
    if (text_ != nullptr) LocalFree(text_);
}

char* formatWindowsError(DWORD code, char* out, int capacity) {
    if (capacity <= 0) return out;
    const SystemText system(code);
    // Room for the text less its CR LF, " (", ")", "=0x", the terminator and 9 digits.
    if (system.length() == 0 || static_cast<long long>(capacity) < static_cast<long long>(system.length()) + 14) {
        out[0] = '\0';
        return out;
    }
    const int length = lstrlenA(system.get());
    // The text without its final CR LF; codes above 65535 may need more digits than
    // reserved, and formatInto cuts them.
    formatInto(out, static_cast<size_t>(capacity), "%.*s (%ld=0x%lX)", length < 2 ? 0 : length - 2, system.get(),
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
