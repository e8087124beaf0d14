#include "jnihost/jnihost.h"

#include <array>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <set>
#include <tuple>
#include <unordered_map>
#include <utility>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace jnihost {
namespace {

// Slot indexes and names of the JNI function table, generated from the JDK's jni.h.
namespace slots {
enum : int {
#define KX_JNI_SLOT(name) name,
#include "jni_slots.inc"
#undef KX_JNI_SLOT
    count
};
}  // namespace slots

constexpr const char* kSlotNames[] = {
#define KX_JNI_SLOT(name) #name,
#include "jni_slots.inc"
#undef KX_JNI_SLOT
};

static_assert(slots::count * sizeof(void*) == sizeof(JNINativeInterface_),
              "the slot list generated from jni.h does not match struct JNINativeInterface_");

[[noreturn]] void die(const std::string& message) {
    std::fflush(stdout);
    std::fprintf(stderr, "%s\n", message.c_str());
    std::fflush(stderr);
    std::abort();
}

// Aborts with "jnihost: " and the formatted text: a fault of the code under test.
[[noreturn]] void fail(const char* format, ...) __attribute__((format(printf, 1, 2)));
void fail(const char* format, ...) {
    char text[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    die(std::string("jnihost: ") + text);
}

// The functions that JNI allows while an exception is pending (of those the host provides).
bool allowedWhilePending(int slot) {
    switch (slot) {
        case slots::ExceptionOccurred:
        case slots::ExceptionDescribe:
        case slots::ExceptionClear:
        case slots::ExceptionCheck:
        case slots::ReleaseStringChars:
        case slots::ReleaseStringUTFChars:
        case slots::DeleteLocalRef:
        case slots::PushLocalFrame:
        case slots::PopLocalFrame:
            return true;
        default:
            return false;
    }
}

// A local reference: a handle of its own per reference, so that a deleted or never-made
// one is recognised.
struct Reference {
    Object* target;
    bool live = true;
    bool counted = false;  // made by a JNI function for native code
};

struct ClassInfo {
    Object* object = nullptr;
    bool defined = false;  // FindClass finds it
    std::set<std::string> constructors;
};

struct Method {
    Object* cls;
    std::string name;
    std::string signature;
};

// A buffer lent by Get*Chars until its Release*.
struct Pin {
    const Object* string;
    bool utf;
    std::vector<char> bytes;
};

constexpr std::uint32_t kEnvMagic = 0x4A4E4948;  // "JNIH"

// Superclasses of the classes the host knows, for IsInstanceOf.
const char* superclass(const std::string& name) {
    static const std::map<std::string, const char*> parents = {
        {"java/lang/Throwable", "java/lang/Object"},
        {"java/lang/Exception", "java/lang/Throwable"},
        {"java/lang/Error", "java/lang/Throwable"},
        {"java/lang/RuntimeException", "java/lang/Exception"},
        {"java/lang/NullPointerException", "java/lang/RuntimeException"},
        {"java/lang/IllegalArgumentException", "java/lang/RuntimeException"},
        {"java/lang/IndexOutOfBoundsException", "java/lang/RuntimeException"},
        {"java/lang/StringIndexOutOfBoundsException", "java/lang/IndexOutOfBoundsException"},
        {"java/lang/VirtualMachineError", "java/lang/Error"},
        {"java/lang/OutOfMemoryError", "java/lang/VirtualMachineError"},
        {"java/lang/LinkageError", "java/lang/Error"},
        {"java/lang/NoClassDefFoundError", "java/lang/LinkageError"},
        {"java/lang/IncompatibleClassChangeError", "java/lang/LinkageError"},
        {"java/lang/NoSuchMethodError", "java/lang/IncompatibleClassChangeError"},
        {"kx/util/kxmedia/KXMediaNativeException", "java/lang/Exception"},
    };
    if (name == "java/lang/Object") return nullptr;
    auto found = parents.find(name);
    return found == parents.end() ? "java/lang/Object" : found->second;
}

// The parameter type letters of a method signature, 'L' for every reference type.
std::vector<char> parameterTypes(const std::string& signature) {
    std::vector<char> types;
    size_t i = 1;
    if (signature.empty() || signature[0] != '(') fail("malformed method signature \"%s\"", signature.c_str());
    while (i < signature.size() && signature[i] != ')') {
        const size_t start = i;
        while (signature[i] == '[') ++i;
        if (signature[i] == 'L') {
            i = signature.find(';', i);
            if (i == std::string::npos) fail("malformed method signature \"%s\"", signature.c_str());
        } else if (std::strchr("ZBCSIJFD", signature[i]) == nullptr) {
            fail("malformed method signature \"%s\"", signature.c_str());
        }
        types.push_back(i > start && signature[start] == '[' ? 'L' : signature[start]);
        ++i;
    }
    return types;
}

std::string modifiedUtf8(const std::u16string& units) {
    std::string bytes;
    for (char16_t u : units) {
        if (u != 0 && u < 0x80) {
            bytes += static_cast<char>(u);
        } else if (u < 0x800) {
            bytes += static_cast<char>(0xC0 | (u >> 6));
            bytes += static_cast<char>(0x80 | (u & 0x3F));
        } else {
            bytes += static_cast<char>(0xE0 | (u >> 12));
            bytes += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
            bytes += static_cast<char>(0x80 | (u & 0x3F));
        }
    }
    return bytes;
}

// Modified (or standard) UTF-8 to UTF-16; a byte that starts no valid sequence stands
// for itself.
std::u16string fromUtf8(const char* text) {
    std::u16string units;
    const auto* b = reinterpret_cast<const unsigned char*>(text);
    auto continuation = [&](size_t k) { return (b[k] & 0xC0) == 0x80; };
    for (size_t i = 0; b[i] != 0;) {
        if (b[i] >= 0xC0 && b[i] < 0xE0 && continuation(i + 1)) {
            units += static_cast<char16_t>(((b[i] & 0x1F) << 6) | (b[i + 1] & 0x3F));
            i += 2;
        } else if (b[i] >= 0xE0 && b[i] < 0xF0 && continuation(i + 1) && continuation(i + 2)) {
            units += static_cast<char16_t>(((b[i] & 0x0F) << 12) | ((b[i + 1] & 0x3F) << 6) | (b[i + 2] & 0x3F));
            i += 3;
        } else if (b[i] >= 0xF0 && b[i] < 0xF8 && continuation(i + 1) && continuation(i + 2) && continuation(i + 3)) {
            const char32_t c = ((b[i] & 0x07) << 18) | ((b[i + 1] & 0x3F) << 12) | ((b[i + 2] & 0x3F) << 6) |
                               (b[i + 3] & 0x3F);
            units += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
            units += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
            i += 4;
        } else {
            units += static_cast<char16_t>(b[i++]);
        }
    }
    return units;
}

}  // namespace

// The JNIEnv handed to native code: the C++ JNIEnv_ (one pointer to the function table)
// followed by the way back to the host's state.
struct EnvBlock {
    JNIEnv_ env;
    std::uint32_t magic;
    Host::State* state;
};

struct Host::State {
    EnvBlock block{};
    std::vector<std::unique_ptr<Object>> objects;
    std::vector<const Object*> constructed;
    std::map<std::string, ClassInfo> classes;
    std::map<std::tuple<const Object*, std::string, std::string>, std::unique_ptr<Method>> methods;
    std::set<const void*> methodIds;
    std::unordered_map<const void*, std::unique_ptr<Reference>> references;
    std::vector<std::vector<Reference*>> frames{1};  // frames[0]: the native method's own
    int localCount = 0;
    std::map<const void*, Pin> pins;
    std::optional<PendingException> pending;
    std::array<int, slots::count> calls{};
    jclass receiver = nullptr;

    Object* make(Object::Kind kind, std::string className) {
        objects.push_back(std::make_unique<Object>());
        Object* object = objects.back().get();
        object->kind = kind;
        object->className = std::move(className);
        return object;
    }

    Object* makeString(std::u16string units) {
        Object* string = make(Object::Kind::String, "java/lang/String");
        string->text = std::move(units);
        return string;
    }

    ClassInfo& classInfo(const std::string& name) {
        ClassInfo& info = classes[name];
        if (info.object == nullptr) info.object = make(Object::Kind::Class, name);
        return info;
    }

    jobject reference(Object* target, bool counted) {
        auto made = std::make_unique<Reference>(Reference{target, true, counted});
        Reference* ref = made.get();
        references.emplace(ref, std::move(made));
        if (counted) {
            frames.back().push_back(ref);
            ++localCount;
        }
        return reinterpret_cast<jobject>(ref);
    }
    // A new local reference returned to native code.
    jobject local(Object* target) { return target == nullptr ? nullptr : reference(target, true); }

    Reference* find(jobject ref) const {
        auto found = references.find(ref);
        return found == references.end() ? nullptr : found->second.get();
    }

    // A reference passed by native code to a JNI function: it must be one the host made
    // and still live.
    Object* resolve(jobject ref, int slot, const char* what = "a reference") const {
        if (ref == nullptr) return nullptr;
        Reference* r = find(ref);
        if (r == nullptr) fail("%s was passed %s the host never made (%p)", kSlotNames[slot], what, static_cast<void*>(ref));
        if (!r->live) fail("%s was passed %s that was already deleted (%p)", kSlotNames[slot], what, static_cast<void*>(ref));
        return r->target;
    }
    Object* require(jobject ref, Object::Kind kind, int slot, const char* what) const {
        if (ref == nullptr) fail("%s was passed a null %s", kSlotNames[slot], what);
        Object* target = resolve(ref, slot, what);
        if (target->kind != kind) fail("%s was passed a reference that is not %s", kSlotNames[slot], what);
        return target;
    }

    void kill(Reference* r) {
        r->live = false;
        if (r->counted) {
            r->counted = false;
            --localCount;
        }
    }

    // Leaves a host-made <className>(String) pending, as the JVM does for its own errors
    // and for ThrowNew; a null message is a Java null.
    PendingException& raise(const std::string& className, const std::u16string* message) {
        Object* error = make(Object::Kind::Instance, className);
        error->constructorSignature = "(Ljava/lang/String;)V";
        Value text;
        text.type = 'L';
        if (message != nullptr) text.target = makeString(*message);
        error->arguments.push_back(text);
        PendingException exception;
        exception.className = className;
        exception.object = error;
        return pending.emplace(exception);
    }
    void raise(const std::string& className, const std::u16string& message) { raise(className, &message); }
};

namespace {

Host::State& enter(JNIEnv* env, int slot) {
    auto* block = reinterpret_cast<EnvBlock*>(env);
    if (block == nullptr || block->magic != kEnvMagic) fail("%s was called with a JNIEnv the host never made", kSlotNames[slot]);
    Host::State& state = *block->state;
    ++state.calls[slot];
    if (state.pending && !allowedWhilePending(slot))
        fail("JNI function %s called while an exception is pending (%s)", kSlotNames[slot],
             state.pending->className.c_str());
    return state;
}

template <class ReadArgument>
jobject construct(Host::State& s, int slot, jclass cls, jmethodID id, ReadArgument read) {
    Object* classObject = s.require(cls, Object::Kind::Class, slot, "a class");
    if (s.methodIds.count(id) == 0) fail("%s was passed a method ID the host never made", kSlotNames[slot]);
    const auto* method = reinterpret_cast<const Method*>(id);
    if (method->cls != classObject)
        fail("%s was passed a constructor of %s for the class %s", kSlotNames[slot], method->cls->className.c_str(),
             classObject->className.c_str());
    Object* object = s.make(Object::Kind::Instance, classObject->className);
    object->constructorSignature = method->signature;
    for (char type : parameterTypes(method->signature)) {
        Value value = read(type);
        value.type = type;
        if (type == 'L') value.target = s.resolve(value.object, slot, "an argument reference");
        object->arguments.push_back(value);
    }
    s.constructed.push_back(object);
    return s.local(object);
}

// One constructor argument from a variable argument list: the C promotions apply.
Value fromList(char type, va_list& args) {
    Value v;
    switch (type) {
        case 'Z': v.integer = static_cast<jboolean>(va_arg(args, int)); break;
        case 'B': v.integer = static_cast<jbyte>(va_arg(args, int)); break;
        case 'C': v.integer = static_cast<jchar>(va_arg(args, int)); break;
        case 'S': v.integer = static_cast<jshort>(va_arg(args, int)); break;
        case 'I': v.integer = va_arg(args, int); break;
        case 'J': v.integer = va_arg(args, jlong); break;
        case 'F': v.real = static_cast<float>(va_arg(args, double)); break;
        case 'D': v.real = va_arg(args, double); break;
        default: v.object = va_arg(args, jobject); break;
    }
    return v;
}

Value fromArray(char type, const jvalue& a) {
    Value v;
    switch (type) {
        case 'Z': v.integer = a.z; break;
        case 'B': v.integer = a.b; break;
        case 'C': v.integer = a.c; break;
        case 'S': v.integer = a.s; break;
        case 'I': v.integer = a.i; break;
        case 'J': v.integer = a.j; break;
        case 'F': v.real = a.f; break;
        case 'D': v.real = a.d; break;
        default: v.object = a.l; break;
    }
    return v;
}

jobject newObjectFromList(JNIEnv* env, int slot, jclass cls, jmethodID id, va_list args) {
    Host::State& s = enter(env, slot);
    va_list copy;
    va_copy(copy, args);
    jobject result = construct(s, slot, cls, id, [&](char type) { return fromList(type, copy); });
    va_end(copy);
    return result;
}

const Object* stringOf(Host::State& s, jstring string, int slot) {
    return s.require(string, Object::Kind::String, slot, "a string");
}

const void* pin(Host::State& s, const Object* string, bool utf, std::vector<char> bytes, jboolean* isCopy) {
    if (isCopy != nullptr) *isCopy = JNI_TRUE;
    const void* address = bytes.data();
    s.pins.emplace(address, Pin{string, utf, std::move(bytes)});
    return address;
}

void unpin(Host::State& s, const Object* string, bool utf, const void* address, int slot) {
    auto found = s.pins.find(address);
    if (found == s.pins.end() || found->second.utf != utf || found->second.string != string)
        fail("%s was passed a buffer that was not lent for this string (%p)", kSlotNames[slot], address);
    s.pins.erase(found);
}

// The JNI functions the host provides, named after their slots.
namespace provided {

jint JNICALL GetVersion(JNIEnv* env) {
    enter(env, slots::GetVersion);
    return JNI_VERSION_1_8;
}

jclass JNICALL FindClass(JNIEnv* env, const char* name) {
    Host::State& s = enter(env, slots::FindClass);
    if (name == nullptr) fail("FindClass was passed a null name");
    auto found = s.classes.find(name);
    if (found == s.classes.end() || !found->second.defined) {
        s.raise("java/lang/NoClassDefFoundError", widen(name));
        return nullptr;
    }
    return static_cast<jclass>(s.local(found->second.object));
}

jmethodID JNICALL GetMethodID(JNIEnv* env, jclass cls, const char* name, const char* signature) {
    Host::State& s = enter(env, slots::GetMethodID);
    Object* classObject = s.require(cls, Object::Kind::Class, slots::GetMethodID, "a class");
    if (name == nullptr || signature == nullptr) fail("GetMethodID was passed a null name or signature");
    const ClassInfo& info = s.classInfo(classObject->className);
    if (std::strcmp(name, "<init>") != 0 || info.constructors.count(signature) == 0) {
        s.raise("java/lang/NoSuchMethodError", widen(name));
        return nullptr;
    }
    auto& method = s.methods[{classObject, name, signature}];
    if (!method) {
        method = std::make_unique<Method>(Method{classObject, name, signature});
        s.methodIds.insert(method.get());
    }
    return reinterpret_cast<jmethodID>(method.get());
}

jobject JNICALL NewObject(JNIEnv* env, jclass cls, jmethodID id, ...) {
    va_list args;
    va_start(args, id);
    jobject result = newObjectFromList(env, slots::NewObject, cls, id, args);
    va_end(args);
    return result;
}

jobject JNICALL NewObjectV(JNIEnv* env, jclass cls, jmethodID id, va_list args) {
    return newObjectFromList(env, slots::NewObjectV, cls, id, args);
}

jobject JNICALL NewObjectA(JNIEnv* env, jclass cls, jmethodID id, const jvalue* args) {
    Host::State& s = enter(env, slots::NewObjectA);
    size_t next = 0;
    return construct(s, slots::NewObjectA, cls, id, [&](char type) { return fromArray(type, args[next++]); });
}

jint JNICALL Throw(JNIEnv* env, jthrowable throwable) {
    Host::State& s = enter(env, slots::Throw);
    const Object* object = s.require(throwable, Object::Kind::Instance, slots::Throw, "an object");
    PendingException exception;
    exception.className = object->className;
    exception.object = object;
    s.pending = exception;
    return 0;
}

jint JNICALL ThrowNew(JNIEnv* env, jclass cls, const char* message) {
    Host::State& s = enter(env, slots::ThrowNew);
    const Object* classObject = s.require(cls, Object::Kind::Class, slots::ThrowNew, "a class");
    if (s.classInfo(classObject->className).constructors.count("(Ljava/lang/String;)V") == 0) {
        s.raise("java/lang/NoSuchMethodError", u"<init>");
        return -1;
    }
    // The JVM decodes the bytes as modified UTF-8 for the object it builds.
    const std::u16string text = message == nullptr ? u"" : fromUtf8(message);
    PendingException& exception = s.raise(classObject->className, message == nullptr ? nullptr : &text);
    exception.thrownWithThrowNew = true;
    exception.throwNewBytes = message == nullptr ? "" : message;
    return 0;
}

jthrowable JNICALL ExceptionOccurred(JNIEnv* env) {
    Host::State& s = enter(env, slots::ExceptionOccurred);
    if (!s.pending) return nullptr;
    return static_cast<jthrowable>(s.local(const_cast<Object*>(s.pending->object)));
}

void JNICALL ExceptionDescribe(JNIEnv* env) {
    Host::State& s = enter(env, slots::ExceptionDescribe);
    if (!s.pending) return;
    std::fprintf(stderr, "jnihost: exception %s: %s\n", s.pending->className.c_str(), narrow(s.pending->message()).c_str());
    s.pending.reset();
}

void JNICALL ExceptionClear(JNIEnv* env) { enter(env, slots::ExceptionClear).pending.reset(); }

jboolean JNICALL ExceptionCheck(JNIEnv* env) {
    return enter(env, slots::ExceptionCheck).pending ? JNI_TRUE : JNI_FALSE;
}

jstring JNICALL NewString(JNIEnv* env, const jchar* units, jsize length) {
    Host::State& s = enter(env, slots::NewString);
    if (length < 0 || (units == nullptr && length > 0)) fail("NewString was passed %ld units at %p", static_cast<long>(length), static_cast<const void*>(units));
    return static_cast<jstring>(s.local(s.makeString(std::u16string(reinterpret_cast<const char16_t*>(units), static_cast<size_t>(length)))));
}

jsize JNICALL GetStringLength(JNIEnv* env, jstring string) {
    Host::State& s = enter(env, slots::GetStringLength);
    return static_cast<jsize>(stringOf(s, string, slots::GetStringLength)->text.size());
}

const jchar* JNICALL GetStringChars(JNIEnv* env, jstring string, jboolean* isCopy) {
    Host::State& s = enter(env, slots::GetStringChars);
    const Object* o = stringOf(s, string, slots::GetStringChars);
    std::vector<char> bytes((o->text.size() + 1) * sizeof(jchar), 0);
    std::memcpy(bytes.data(), o->text.data(), o->text.size() * sizeof(jchar));
    return static_cast<const jchar*>(pin(s, o, false, std::move(bytes), isCopy));
}

void JNICALL ReleaseStringChars(JNIEnv* env, jstring string, const jchar* chars) {
    Host::State& s = enter(env, slots::ReleaseStringChars);
    unpin(s, stringOf(s, string, slots::ReleaseStringChars), false, chars, slots::ReleaseStringChars);
}

jsize JNICALL GetStringUTFLength(JNIEnv* env, jstring string) {
    Host::State& s = enter(env, slots::GetStringUTFLength);
    return static_cast<jsize>(modifiedUtf8(stringOf(s, string, slots::GetStringUTFLength)->text).size());
}

const char* JNICALL GetStringUTFChars(JNIEnv* env, jstring string, jboolean* isCopy) {
    Host::State& s = enter(env, slots::GetStringUTFChars);
    const Object* o = stringOf(s, string, slots::GetStringUTFChars);
    const std::string utf = modifiedUtf8(o->text);
    return static_cast<const char*>(pin(s, o, true, std::vector<char>(utf.c_str(), utf.c_str() + utf.size() + 1), isCopy));
}

void JNICALL ReleaseStringUTFChars(JNIEnv* env, jstring string, const char* chars) {
    Host::State& s = enter(env, slots::ReleaseStringUTFChars);
    unpin(s, stringOf(s, string, slots::ReleaseStringUTFChars), true, chars, slots::ReleaseStringUTFChars);
}

void JNICALL GetStringRegion(JNIEnv* env, jstring string, jsize start, jsize length, jchar* buffer) {
    Host::State& s = enter(env, slots::GetStringRegion);
    const std::u16string& text = stringOf(s, string, slots::GetStringRegion)->text;
    if (start < 0 || length < 0 || static_cast<size_t>(start) + static_cast<size_t>(length) > text.size()) {
        s.raise("java/lang/StringIndexOutOfBoundsException", u"GetStringRegion");
        return;
    }
    if (length > 0) std::memcpy(buffer, text.data() + start, static_cast<size_t>(length) * sizeof(jchar));
}

jstring JNICALL NewStringUTF(JNIEnv* env, const char* bytes) {
    Host::State& s = enter(env, slots::NewStringUTF);
    if (bytes == nullptr) return nullptr;
    return static_cast<jstring>(s.local(s.makeString(fromUtf8(bytes))));
}

void JNICALL DeleteLocalRef(JNIEnv* env, jobject ref) {
    Host::State& s = enter(env, slots::DeleteLocalRef);
    if (ref == nullptr) return;
    s.resolve(ref, slots::DeleteLocalRef);
    s.kill(s.find(ref));
}

jobject JNICALL NewLocalRef(JNIEnv* env, jobject ref) {
    Host::State& s = enter(env, slots::NewLocalRef);
    return s.local(s.resolve(ref, slots::NewLocalRef));
}

jint JNICALL EnsureLocalCapacity(JNIEnv* env, jint capacity) {
    enter(env, slots::EnsureLocalCapacity);
    return capacity < 0 ? -1 : 0;
}

jint JNICALL PushLocalFrame(JNIEnv* env, jint capacity) {
    Host::State& s = enter(env, slots::PushLocalFrame);
    if (capacity < 0) fail("PushLocalFrame was passed the capacity %ld", static_cast<long>(capacity));
    s.frames.emplace_back();
    return 0;
}

jobject JNICALL PopLocalFrame(JNIEnv* env, jobject result) {
    Host::State& s = enter(env, slots::PopLocalFrame);
    if (s.frames.size() < 2) fail("PopLocalFrame without a PushLocalFrame");
    Object* kept = s.resolve(result, slots::PopLocalFrame);
    for (Reference* r : s.frames.back())
        if (r->live) s.kill(r);
    s.frames.pop_back();
    return s.local(kept);
}

jclass JNICALL GetObjectClass(JNIEnv* env, jobject ref) {
    Host::State& s = enter(env, slots::GetObjectClass);
    if (ref == nullptr) fail("GetObjectClass was passed a null reference");
    const Object* o = s.resolve(ref, slots::GetObjectClass);
    return static_cast<jclass>(s.local(s.classInfo(o->kind == Object::Kind::Class ? "java/lang/Class" : o->className).object));
}

jboolean JNICALL IsInstanceOf(JNIEnv* env, jobject ref, jclass cls) {
    Host::State& s = enter(env, slots::IsInstanceOf);
    const Object* classObject = s.require(cls, Object::Kind::Class, slots::IsInstanceOf, "a class");
    const Object* o = s.resolve(ref, slots::IsInstanceOf);
    if (o == nullptr) return JNI_TRUE;
    std::string name = o->kind == Object::Kind::Class ? "java/lang/Class" : o->className;
    for (;;) {
        if (classObject->className == name) return JNI_TRUE;
        const char* parent = superclass(name);
        if (parent == nullptr) return JNI_FALSE;
        name = parent;
    }
}

jboolean JNICALL IsSameObject(JNIEnv* env, jobject a, jobject b) {
    Host::State& s = enter(env, slots::IsSameObject);
    return s.resolve(a, slots::IsSameObject) == s.resolve(b, slots::IsSameObject) ? JNI_TRUE : JNI_FALSE;
}

}  // namespace provided

template <size_t Slot>
[[noreturn]] void JNICALL unprovided() {
    die(unprovidedMessage(Slot));
}

template <size_t... Slot>
std::array<void*, slots::count> unprovidedStubs(std::index_sequence<Slot...>) {
    return {{reinterpret_cast<void*>(&unprovided<Slot>)...}};
}

const JNINativeInterface_* functionTable() {
    static const JNINativeInterface_ table = [] {
        JNINativeInterface_ t;
        const auto stubs = unprovidedStubs(std::make_index_sequence<slots::count>());
        std::memcpy(&t, stubs.data(), sizeof t);
#define KX_PROVIDE(name) t.name = provided::name
        KX_PROVIDE(GetVersion);
        KX_PROVIDE(FindClass);
        KX_PROVIDE(GetMethodID);
        KX_PROVIDE(NewObject);
        KX_PROVIDE(NewObjectV);
        KX_PROVIDE(NewObjectA);
        KX_PROVIDE(Throw);
        KX_PROVIDE(ThrowNew);
        KX_PROVIDE(ExceptionOccurred);
        KX_PROVIDE(ExceptionDescribe);
        KX_PROVIDE(ExceptionClear);
        KX_PROVIDE(ExceptionCheck);
        KX_PROVIDE(NewString);
        KX_PROVIDE(GetStringLength);
        KX_PROVIDE(GetStringChars);
        KX_PROVIDE(ReleaseStringChars);
        KX_PROVIDE(GetStringUTFLength);
        KX_PROVIDE(GetStringUTFChars);
        KX_PROVIDE(ReleaseStringUTFChars);
        KX_PROVIDE(GetStringRegion);
        KX_PROVIDE(NewStringUTF);
        KX_PROVIDE(DeleteLocalRef);
        KX_PROVIDE(NewLocalRef);
        KX_PROVIDE(EnsureLocalCapacity);
        KX_PROVIDE(PushLocalFrame);
        KX_PROVIDE(PopLocalFrame);
        KX_PROVIDE(GetObjectClass);
        KX_PROVIDE(IsInstanceOf);
        KX_PROVIDE(IsSameObject);
#undef KX_PROVIDE
        return t;
    }();
    return &table;
}

}  // namespace

int slotCount() { return slots::count; }

const char* slotName(int slot) { return slot >= 0 && slot < slots::count ? kSlotNames[slot] : nullptr; }

std::string unprovidedMessage(int slot) {
    const char* name = slotName(slot);
    return std::string("jnihost: JNI function ") + (name != nullptr ? name : "?") + " is not provided";
}

std::u16string PendingException::message() const {
    if (thrownWithThrowNew) return widen(throwNewBytes);
    if (object != nullptr)
        for (const Value& argument : object->arguments)
            if (argument.type == 'L' && argument.target != nullptr && argument.target->kind == Object::Kind::String)
                return argument.target->text;
    return {};
}

jint PendingException::status() const {
    if (object != nullptr)
        for (const Value& argument : object->arguments)
            if (argument.type == 'I') return static_cast<jint>(argument.integer);
    return 0;
}

Host::Host() : state_(std::make_unique<State>()) {
    state_->block.env.functions = functionTable();
    state_->block.magic = kEnvMagic;
    state_->block.state = state_.get();
    const std::vector<std::string> message = {"(Ljava/lang/String;)V"};
    defineClass("java/lang/Object", {"()V"});
    for (const char* name : {"java/lang/String", "java/lang/Exception", "java/lang/NullPointerException",
                             "java/lang/IllegalArgumentException", "java/lang/OutOfMemoryError"})
        defineClass(name, message);
    defineClass("kx/util/kxmedia/KXMediaNativeException", {"(I)V"});
    for (const char* name : {"kx/util/kxmedia/KXMediaNativeAudioFileDesc", "kx/util/kxmedia/KXMediaNativeParamMinMax",
                             "kx/util/kxmedia/KXMediaNativeValueLeftRight"})
        defineClass(name, {"(II)V"});
}

Host::~Host() = default;

JNIEnv* Host::env() { return &state_->block.env; }

jclass Host::receiver() {
    if (state_->receiver == nullptr)
        state_->receiver = static_cast<jclass>(state_->reference(state_->classInfo("jnihost/NativeMethods").object, false));
    return state_->receiver;
}

jstring Host::string(std::u16string_view units) {
    return static_cast<jstring>(state_->reference(state_->makeString(std::u16string(units)), false));
}

jstring Host::latin1(std::string_view bytes) { return string(widen(bytes)); }

namespace {
// The test side may look at references that native code has deleted since.
const Object& lookAt(const Host::State& s, jobject reference, const char* what) {
    if (reference == nullptr) fail("%s of a null reference", what);
    auto found = s.references.find(reference);
    if (found == s.references.end()) fail("%s of a reference the host never made (%p)", what, static_cast<void*>(reference));
    return *found->second->target;
}
}  // namespace

std::u16string Host::text(jobject string) const {
    const Object& o = lookAt(*state_, string, "text()");
    if (o.kind != Object::Kind::String) fail("text() of a %s, not a string", o.className.c_str());
    return o.text;
}

const Object& Host::object(jobject reference) const { return lookAt(*state_, reference, "object()"); }

void Host::defineClass(const std::string& name, std::vector<std::string> constructorSignatures) {
    ClassInfo& info = state_->classInfo(name);
    info.defined = true;
    info.constructors = std::set<std::string>(constructorSignatures.begin(), constructorSignatures.end());
}

void Host::removeClass(const std::string& name) { state_->classInfo(name).defined = false; }

void Host::removeConstructor(const std::string& className, const std::string& signature) {
    state_->classInfo(className).constructors.erase(signature);
}

bool Host::pending() const { return state_->pending.has_value(); }

const PendingException& Host::exception() const {
    if (!state_->pending) fail("exception() while no exception is pending");
    return *state_->pending;
}

void Host::clearPending() { state_->pending.reset(); }

std::vector<const Object*> Host::constructed() const { return state_->constructed; }

int Host::pinnedStrings() const { return static_cast<int>(state_->pins.size()); }

int Host::localReferences() const { return state_->localCount; }

void Host::resetLocalReferences() {
    for (auto& frame : state_->frames)
        for (Reference* r : frame) r->counted = false;
    state_->frames.assign(1, {});
    state_->localCount = 0;
}

int Host::calls(const std::string& slot) const {
    for (int i = 0; i < slots::count; ++i)
        if (slot == kSlotNames[i]) return state_->calls[i];
    fail("calls(\"%s\"): no JNI function has that name", slot.c_str());
}

std::u16string widen(std::string_view bytes) {
    std::u16string units;
    units.reserve(bytes.size());
    for (char b : bytes) units += static_cast<char16_t>(static_cast<unsigned char>(b));
    return units;
}

std::string narrow(std::u16string_view units) {
    std::string bytes;
    bytes.reserve(units.size());
    for (char16_t u : units) bytes += static_cast<char>(u & 0xFF);
    return bytes;
}

Library::Library(const std::string& path) {
#if defined(_WIN32)
    handle_ = reinterpret_cast<void*>(LoadLibraryA(path.c_str()));
    if (handle_ == nullptr) fail("cannot load %s (Windows error %lu)", path.c_str(), static_cast<unsigned long>(GetLastError()));
#else
    handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle_ == nullptr) fail("cannot load %s: %s", path.c_str(), dlerror());
#endif
}

Library::~Library() {
#if defined(_WIN32)
    FreeLibrary(static_cast<HMODULE>(handle_));
#else
    dlclose(handle_);
#endif
}

void* Library::symbol(const std::string& name) const {
#if defined(_WIN32)
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle_), name.c_str()));
#else
    return dlsym(handle_, name.c_str());
#endif
}

void* Library::nativeMethod(const std::string& jniName, int argumentBytes) const {
#if defined(_WIN32) && !defined(_WIN64)
    return symbol("_" + jniName + "@" + std::to_string(argumentBytes));
#else
    (void)argumentBytes;
    return symbol(jniName);
#endif
}

void* Library::required(const std::string& jniName, int argumentBytes) const {
    void* function = nativeMethod(jniName, argumentBytes);
    if (function == nullptr) fail("the library does not export %s (%d argument bytes)", jniName.c_str(), argumentBytes);
    return function;
}

}  // namespace jnihost
