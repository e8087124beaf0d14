// An in-process stand-in for the Java virtual machine's JNI function table, so that tests
// (and kxcall) can call the libraries' exported Java_... functions exactly as a JVM would.
//
// It makes Java strings from UTF-16, knows a configurable set of classes and constructors
// (a missing class or constructor can be simulated), records every object constructed
// with its arguments and the pending exception, counts pinned strings and live local
// references, and aborts naming the slot when code calls a JNI function it does not
// provide, or calls one that is not allowed while an exception is pending.
//
// Strict where native code is concerned: FindClass of an unknown class leaves
// NoClassDefFoundError pending and GetMethodID of a missing constructor NoSuchMethodError;
// a reference the host never made, or one already deleted, a buffer released for the wrong
// string, or a JNI call other than ExceptionCheck/Occurred/Clear/Describe, Release*,
// DeleteLocalRef, Push/PopLocalFrame while an exception is pending aborts the process with
// "jnihost: ..." naming the function. The test side (text(), object(), constructed()) may
// look at everything, deleted references included: objects live as long as the Host.
//
// References made by the test (string(), latin1(), receiver()) stand for the arguments a
// JVM passes and are not counted as local references; every reference a JNI function
// returns to native code is.
#pragma once

#include <jni.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace jnihost {

struct Object;

// One argument given to a constructor through NewObject/NewObjectV/NewObjectA.
struct Value {
    char type = 'V';          // JNI type letter: 'I', 'J', 'F', 'D', 'Z', 'L' ...
    jlong integer = 0;        // I, J, Z, B, C, S
    double real = 0;          // F, D
    jobject object = nullptr; // L, [: the reference as passed
    const Object* target = nullptr;  // L, [: what it referred to (null for a Java null)
};

// What a jobject/jclass/jstring handed out by the host refers to (each reference is a
// distinct handle of the host's own; object() resolves it).
struct Object {
    enum class Kind { Class, String, Instance };
    Kind kind;
    std::string className;             // the class's own name for Class; "java/lang/String" for String
    std::u16string text;               // String
    std::string constructorSignature;  // Instance: "(I)V", "(Ljava/lang/String;)V" ...
    std::vector<Value> arguments;      // Instance: the constructor's arguments
};

// The exception pending in the host.
struct PendingException {
    std::string className;
    bool thrownWithThrowNew = false;
    std::string throwNewBytes;       // the raw bytes given to ThrowNew
    // The exception object: the one given to Throw, or the one the host made for ThrowNew
    // or for an error of its own (NoClassDefFoundError, NoSuchMethodError ...).
    const Object* object = nullptr;
    // The message: a (Ljava/lang/String;)V constructor's argument, or ThrowNew's bytes
    // widened one byte per char.
    std::u16string message() const;
    // The first int constructor argument (KXMediaNativeException(int)); 0 when none.
    jint status() const;
};

class Host {
public:
    // Knows java/lang/String, java/lang/Exception, NullPointerException,
    // IllegalArgumentException, OutOfMemoryError (each with a (Ljava/lang/String;)V
    // constructor), kx/util/kxmedia/KXMediaNativeException with (I)V, and
    // KXMediaNativeAudioFileDesc, KXMediaNativeParamMinMax, KXMediaNativeValueLeftRight
    // with (II)V.
    Host();
    ~Host();
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;

    JNIEnv* env();
    // The receiver passed as the second argument of a native method.
    jclass receiver();

    // Java strings.
    jstring string(std::u16string_view units);
    jstring latin1(std::string_view bytes);  // one char per byte, zero-extended
    std::u16string text(jobject string) const;

    // Classes and constructors.
    void defineClass(const std::string& name, std::vector<std::string> constructorSignatures);
    void removeClass(const std::string& name);
    void removeConstructor(const std::string& className, const std::string& signature);

    // The pending exception, if any; clearPending() forgets it.
    bool pending() const;
    const PendingException& exception() const;  // aborts when none is pending
    void clearPending();

    // Objects built through NewObject*, oldest first (exceptions included).
    std::vector<const Object*> constructed() const;
    const Object& object(jobject reference) const;  // aborts on a reference the host never made

    // Balance counters: GetStringChars/GetStringUTFChars not yet released, and local
    // references created and not deleted since the last resetLocalReferences() (a JVM
    // frees a native method's local references when it returns; the reset only stops
    // counting them, the test may still look at them).
    int pinnedStrings() const;
    int localReferences() const;
    void resetLocalReferences();

    // Number of calls to one JNI function, by its slot name ("FindClass", "Throw", ...).
    int calls(const std::string& slot) const;

    struct State;

private:
    std::unique_ptr<State> state_;
};

// The slots of the JNI function table, in table order, as named in the JDK's jni.h.
int slotCount();
const char* slotName(int slot);  // nullptr when out of range
// What the host prints before aborting when native code calls a slot it does not provide.
std::string unprovidedMessage(int slot);

// Latin-1 bytes as UTF-16 (each byte zero-extended): what the libraries' 8-bit texts
// become in Java.
std::u16string widen(std::string_view bytes);
// UTF-16 to 8-bit bytes, keeping the low byte of each unit (for readable test failures).
std::string narrow(std::u16string_view units);

// A native library loaded as a JVM loads it, with its native methods looked up by the
// name the JVM uses on this target.
class Library {
public:
    explicit Library(const std::string& path);
    ~Library();
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;

    void* handle() const { return handle_; }
    // nullptr when the library does not export the name.
    void* symbol(const std::string& name) const;
    // Java_... name plus the argument bytes; on 32-bit Windows looks up "_name@bytes".
    void* nativeMethod(const std::string& jniName, int argumentBytes) const;

    // Typed lookup from a generated prototype, aborting when the method is not exported:
    //   auto read = lib.native<decltype(Java_kx_util_windows_KXWindows_readRegisterKeyValue)>(
    //       "Java_kx_util_windows_KXWindows_readRegisterKeyValue");
    template <class Function>
    Function* native(const std::string& jniName) const {
        return reinterpret_cast<Function*>(required(jniName, ArgumentBytes<Function>::value));
    }

private:
    template <class F> struct ArgumentBytes;
    template <class R, class... A> struct ArgumentBytes<R JNICALL(A...)> {
        static constexpr int value = ((sizeof(A) > 4 ? 8 : 4) + ... + 0);
    };
    void* required(const std::string& jniName, int argumentBytes) const;
    void* handle_;
};

}  // namespace jnihost

// Looks up a native method by its generated prototype's name.
#define KX_NATIVE(library, name) (library).native<decltype(name)>(#name)
