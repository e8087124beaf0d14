// kxcall <library> <Java method name> [args...] [-- <method> [args...]]...
// Calls native methods of KXWindows or KXMedia as a JVM would: the library is loaded,
// the method found by its JNI export name (overloads chosen by which arguments parse),
// the arguments converted by its signature, the export called through the JNI host, and
// the result printed, or "exception <class>: <message>" with exit status 1.
// Calls joined by "--" share one process (a matrix handle lives only there), and "@N"
// stands for the result of the Nth. "kxcall <library> --list" prints the methods the
// library exports.
#include "jnihost/jnihost.h"
#include "jnihost/nativecall.h"

#include <algorithm>
#include <cerrno>
#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#endif

using jnihost::Argument;

namespace {

struct NativeMethod {
    const char* className;
    const char* name;
    const char* signature;
    const char* x64Name;
    const char* x86Name;
    int argumentBytes;
};

constexpr NativeMethod kMethods[] = {
#define KX_NATIVE_METHOD(cls, method, signature, x64, x86, bytes) {cls, method, signature, x64, x86, bytes},
#include "kx_native_methods.inc"
#undef KX_NATIVE_METHOD
};

const char* exportName(const NativeMethod& method) {
#if defined(_WIN32) && !defined(_WIN64)
    return method.x86Name;
#else
    return method.x64Name;
#endif
}

// Kinds of the parameters and of the result: I J F Z, S for String, L another object, V.
struct Shape {
    std::string parameters;
    char result = 'V';
};

Shape shapeOf(const std::string& signature) {
    Shape shape;
    bool parameters = true;
    for (size_t i = 1; i < signature.size(); ++i) {
        char kind = signature[i];
        if (kind == ')') {
            parameters = false;
            continue;
        }
        if (kind == 'L') {
            const size_t end = signature.find(';', i);
            kind = signature.compare(i, end - i + 1, "Ljava/lang/String;") == 0 ? 'S' : 'L';
            i = end;
        }
        if (parameters)
            shape.parameters += kind;
        else
            shape.result = kind;
    }
    return shape;
}

#if !defined(_WIN32)
std::u16string fromUtf8(const std::string& bytes) {
    std::u16string units;
    for (size_t i = 0; i < bytes.size();) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        const int length = b < 0x80 ? 1 : b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
        char32_t c = length == 1 ? b : b & (0x3F >> (length - 1));
        for (int k = 1; k < length && i + k < bytes.size(); ++k) c = (c << 6) | (bytes[i + k] & 0x3F);
        i += length;
        if (c >= 0x10000) {
            units += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
            units += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            units += static_cast<char16_t>(c);
        }
    }
    return units;
}
#endif

std::string toUtf8(const std::u16string& units) {
    std::string bytes;
    for (size_t i = 0; i < units.size(); ++i) {
        char32_t c = units[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] < 0xE000)
            c = 0x10000 + ((c - 0xD800) << 10) + (units[++i] - 0xDC00);
        if (c < 0x80) {
            bytes += static_cast<char>(c);
        } else if (c < 0x800) {
            bytes += static_cast<char>(0xC0 | (c >> 6));
            bytes += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            bytes += static_cast<char>(0xE0 | (c >> 12));
            bytes += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            bytes += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            bytes += static_cast<char>(0xF0 | (c >> 18));
            bytes += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            bytes += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            bytes += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return bytes;
}

bool parseInteger(const std::u16string& text, long long low, long long high, std::uint64_t& out) {
    for (char16_t u : text)
        if (u >= 0x80) return false;
    const std::string ascii = jnihost::narrow(text);
    if (ascii.empty()) return false;
    const bool hex = ascii.size() > 2 && (ascii.compare(0, 2, "0x") == 0 || ascii.compare(0, 2, "0X") == 0);
    char* end = nullptr;
    errno = 0;
    const long long value = std::strtoll(ascii.c_str(), &end, hex ? 16 : 10);
    if (errno != 0 || *end != '\0' || value < low || value > high) return false;
    out = static_cast<std::uint64_t>(value);
    return true;
}

// Converts one command-line argument for a parameter of the given kind.
bool parseArgument(char kind, const std::u16string& text, jnihost::Host& host, Argument& out) {
    out.kind = kind;
    out.bits = 0;
    switch (kind) {
        case 'I': return parseInteger(text, INT32_MIN, INT32_MAX, out.bits);
        case 'J': return parseInteger(text, INT64_MIN, INT64_MAX, out.bits);
        case 'Z':
            out.bits = text == u"true";
            return text == u"true" || text == u"false";
        case 'F': {
            const std::string ascii = jnihost::narrow(text);
            char* end = nullptr;
            const float value = std::strtof(ascii.c_str(), &end);
            if (ascii.empty() || *end != '\0' || jnihost::widen(ascii) != text) return false;
            std::uint32_t bits;
            std::memcpy(&bits, &value, sizeof bits);
            out.bits = bits;
            return true;
        }
        case 'S':
            out.bits = text == u"null" ? 0 : reinterpret_cast<std::uintptr_t>(host.string(text));
            return true;
        default:
            return false;
    }
}

std::string dotted(std::string name) {
    for (char& c : name)
        if (c == '/') c = '.';
    return name;
}

// A returned object, as Java's default toString would not show it: class and arguments.
std::string describe(jnihost::Host& host, jobject result) {
    if (result == nullptr) return "null";
    const jnihost::Object& object = host.object(result);
    if (object.kind == jnihost::Object::Kind::String) return toUtf8(object.text);
    std::string text = dotted(object.className) + "(";
    for (size_t i = 0; i < object.arguments.size(); ++i) {
        const jnihost::Value& v = object.arguments[i];
        if (i > 0) text += ", ";
        if (v.type == 'F' || v.type == 'D')
            text += std::to_string(v.real);
        else if (v.type == 'L')
            text += v.target == nullptr ? "null" : toUtf8(v.target->text);
        else
            text += std::to_string(v.integer);
    }
    return text + ")";
}

std::string exceptionText(const jnihost::PendingException& exception) {
    std::string text = "exception " + dotted(exception.className);
    const std::u16string message = exception.message();
    if (!message.empty())
        text += ": " + toUtf8(message);
    else if (exception.object != nullptr && !exception.object->arguments.empty() &&
             exception.object->arguments[0].type == 'I')
        text += ": status " + std::to_string(exception.status());
    return text;
}

int usage() {
    std::fprintf(stderr,
                 "usage: kxcall <library> <Java method name> [args...] [-- <method> [args...]]...\n"
                 "       kxcall <library> --list\n"
                 "Arguments follow the method's signature: int, long (decimal or 0x hex), float,\n"
                 "true/false, or a string (the word null passes a Java null). Calls joined by --\n"
                 "run in one process, and @N stands for the result of the Nth, e.g.\n"
                 "  kxcall KXMedia.dll createMatrix 2 2 0 -- getMatrixNofInputs @1 0\n");
    return 2;
}

// One call: the method's name and its arguments as typed.
struct Call {
    std::string method;
    std::vector<std::u16string> texts;
};

class Caller {
public:
    explicit Caller(const std::string& path) : path_(path), library_(path) {}

    void list() const {
        for (const NativeMethod& m : kMethods)
            if (library_.symbol(exportName(m)) != nullptr) std::printf("%s %s\n", m.name, m.signature);
    }

    // Prints the result (appended to results) or the exception: 0, 1 for an exception,
    // 2 when no method fits.
    int call(const Call& call, std::vector<std::u16string>& results) {
        // Candidates by name and parameter count; the first whose arguments all parse wins,
        // those with fewer string parameters first, so "5" picks (I) over (String).
        std::vector<std::pair<const NativeMethod*, Shape>> candidates;
        for (const NativeMethod& m : kMethods) {
            Shape shape = shapeOf(m.signature);
            if (call.method == m.name && shape.parameters.size() == call.texts.size() &&
                library_.symbol(exportName(m)) != nullptr)
                candidates.emplace_back(&m, std::move(shape));
        }
        if (candidates.empty()) {
            std::fprintf(stderr, "kxcall: %s exports no method %s taking %zu arguments\n", path_.c_str(),
                         call.method.c_str(), call.texts.size());
            return 2;
        }
        auto strings = [](const Shape& s) { return std::count(s.parameters.begin(), s.parameters.end(), 'S'); };
        std::stable_sort(candidates.begin(), candidates.end(),
                         [&](const auto& a, const auto& b) { return strings(a.second) < strings(b.second); });

        for (const auto& [method, shape] : candidates) {
            std::vector<Argument> arguments = {{'L', reinterpret_cast<std::uintptr_t>(host_.env())},
                                               {'L', reinterpret_cast<std::uintptr_t>(host_.receiver())}};
            bool parsed = true;
            for (size_t i = 0; i < call.texts.size() && parsed; ++i) {
                arguments.emplace_back();
                parsed = parseArgument(shape.parameters[i], resolve(call.texts[i], results), host_, arguments.back());
            }
            if (parsed) return invoke(*method, shape.result, arguments, results);
        }
        std::fprintf(stderr, "kxcall: the arguments do not fit %s%s", call.method.c_str(),
                     candidates.size() > 1 ? " in any of its forms:" : ":");
        for (const auto& candidate : candidates) std::fprintf(stderr, " %s", candidate.first->signature);
        std::fprintf(stderr, "\n");
        return 2;
    }

private:
    // "@N": the result of the Nth call.
    static const std::u16string& resolve(const std::u16string& text, const std::vector<std::u16string>& results) {
        if (text.size() >= 2 && text[0] == u'@') {
            size_t n = 0;
            for (size_t i = 1; i < text.size(); ++i) n = text[i] >= u'0' && text[i] <= u'9' ? n * 10 + (text[i] - u'0') : 0;
            if (n >= 1 && n <= results.size()) return results[n - 1];
        }
        return text;
    }

    int invoke(const NativeMethod& method, char result, const std::vector<Argument>& arguments,
               std::vector<std::u16string>& results) {
        void* function = library_.symbol(exportName(method));
        float real = 0;
        std::uint64_t word = 0;
        if (result == 'F')
            real = jnihost::callNative<float>(function, arguments);
        else
            word = jnihost::callNative<std::uint64_t>(function, arguments);

        if (host_.pinnedStrings() != 0)
            std::fprintf(stderr, "kxcall: warning: %d string(s) still pinned after %s\n", host_.pinnedStrings(), method.name);
        host_.resetLocalReferences();  // as a JVM does when the native method returns
        if (host_.pending()) {
            std::printf("%s\n", exceptionText(host_.exception()).c_str());
            return 1;
        }
        std::string text;
        switch (result) {
            case 'V': break;
            case 'I': text = std::to_string(static_cast<std::int32_t>(word)); break;
            case 'J': text = std::to_string(static_cast<std::int64_t>(word)); break;
            case 'Z': text = (word & 0xFF) != 0 ? "true" : "false"; break;
            case 'F': {
                char number[32];
                std::snprintf(number, sizeof number, "%.9g", static_cast<double>(real));
                text = number;
                break;
            }
            default: text = describe(host_, reinterpret_cast<jobject>(static_cast<std::uintptr_t>(word)));
        }
        if (result != 'V') std::printf("%s\n", text.c_str());
        std::fflush(stdout);
        results.push_back(result == 'S' && word != 0 ? host_.text(reinterpret_cast<jobject>(static_cast<std::uintptr_t>(word)))
                                        : jnihost::widen(text));
        return 0;
    }

    std::string path_;
    jnihost::Library library_;
    jnihost::Host host_;
};

// args: everything after the library: the calls, joined by "--".
int run(const std::string& path, const std::vector<std::u16string>& args) {
    if (args.empty()) return usage();
    Caller caller(path);
    if (args.size() == 1 && args[0] == u"--list") {
        caller.list();
        return 0;
    }
    std::vector<Call> calls(1);
    for (const std::u16string& arg : args) {
        if (arg == u"--")
            calls.emplace_back();
        else if (calls.back().method.empty())
            calls.back().method = jnihost::narrow(arg);
        else
            calls.back().texts.push_back(arg);
    }
    std::vector<std::u16string> results;
    for (const Call& call : calls) {
        if (call.method.empty()) return usage();
        if (int status = caller.call(call, results); status != 0) return status;
    }
    return 0;
}

}  // namespace

#if defined(__SANITIZE_ADDRESS__)
// A matrix that one run creates outlives it by design (its handle is printed, not kept).
extern "C" const char* __asan_default_options() { return "detect_leaks=0"; }
#endif

#if defined(_WIN32)
// wmain: the arguments as the UTF-16 the Java strings are made of.
int wmain(int argc, wchar_t** argv) {
    _setmode(_fileno(stdout), _O_BINARY);
    SetConsoleOutputCP(CP_UTF8);
    if (argc < 2) return usage();
    std::vector<std::u16string> args;
    for (int i = 2; i < argc; ++i) args.emplace_back(reinterpret_cast<const char16_t*>(argv[i]));
    char path[MAX_PATH * 3];
    if (WideCharToMultiByte(CP_ACP, 0, argv[1], -1, path, sizeof path, nullptr, nullptr) == 0) return usage();
    return run(path, args);
}
#else
int main(int argc, char** argv) {
    if (argc < 2) return usage();
    std::vector<std::u16string> args;
    for (int i = 2; i < argc; ++i) args.push_back(fromUtf8(argv[i]));
    // dlopen searches the library path for a bare name; a JVM's loadLibrary is given a path.
    std::string path = argv[1];
    if (path.find('/') == std::string::npos) path = "./" + path;
    return run(path, args);
}
#endif
