// What every native method of KXMedia shares: the matrix handle and its cell, the raising of
// a failed engine status as KXMediaNativeException, the value objects, the diagnostics, and
// the six families of native methods. Each family is written once here; a native method is
// one line that names its family and its engine operation, e.g.
//
//   return cellGetter<oxGetInputState>(env, handle, input, b);
//
// The families forward the Java arguments to the operation unchanged and in order, after
// the matrix reference. Nothing here keeps state between calls or takes a lock.
#pragma once

#include <jni.h>

#include <cstdint>
#include <tuple>
#include <type_traits>

#include "jni/strings.h"
#include "media/engine.h"

// --- Matrix handle and cell --------------------------------------------------------------

// The handle that Java holds is the address of the matrix cell as a signed number: on a
// 32-bit build an address at or above 2 GB gives a negative handle, which converts back to
// the same address. 0 is no matrix.
inline jlong handleOfCell(MatrixRef* cell) { return static_cast<jlong>(reinterpret_cast<std::intptr_t>(cell)); }
inline MatrixRef* cellOfHandle(jlong handle) { return reinterpret_cast<MatrixRef*>(static_cast<std::intptr_t>(handle)); }

// False, with IllegalArgumentException raised, for the handle 0, which designates no matrix.
bool requireHandle(JNIEnv* env, jlong handle);

// --- Raising, value objects, diagnostics --------------------------------------------------

inline constexpr char kExceptionClass[] = "kx/util/kxmedia/KXMediaNativeException";
inline constexpr char kAudioFileDescClass[] = "kx/util/kxmedia/KXMediaNativeAudioFileDesc";
inline constexpr char kParamMinMaxClass[] = "kx/util/kxmedia/KXMediaNativeParamMinMax";
inline constexpr char kValueLeftRightClass[] = "kx/util/kxmedia/KXMediaNativeValueLeftRight";

// Leaves a KXMediaNativeException(status) pending; when that class or its (I)V constructor
// is missing, shows the diagnostic instead and leaves the virtual machine's error pending.
void throwMediaException(jint status, JNIEnv* env);
// A new <className>(first, second), or null after the diagnostic when the class or its
// (II)V constructor is missing.
jobject newValueObject(const char* className, jint first, jint second, JNIEnv* env);
// Looks up a method of cls into place (null when missing); 1 when found, else 0 after the
// diagnostic naming the method, its signature and className.
int lookupMethod(jmethodID* place, jclass cls, const char* className, const char* methodName, const char* signature,
                 JNIEnv* env);
// The modal diagnostic box (captioned "Error", an OK button); on Linux the text goes to
// standard error.
void showDiagnostic(const char* text);

// True for status 0; otherwise raises it and gives false.
inline bool engineSucceeded(EngineStatus status, JNIEnv* env) {
    if (status == 0) return true;
    throwMediaException(status, env);
    return false;
}

// --- Families ------------------------------------------------------------------------------

// Calls the operation with the matrix reference read anew from the handle's cell, then args.
// True on success; false when the handle is 0 (before any engine call) or the status failed,
// in both cases with the exception raised.
template <auto Operation, class... Args>
bool callEngine(JNIEnv* env, jlong handle, Args... args) {
    return requireHandle(env, handle) && engineSucceeded(Operation(*cellOfHandle(handle), args...), env);
}

// The out cell's type of a cell getter: the pointee of the operation's last parameter.
template <class Function> struct OutCellOf;
template <class Result, class... Parameters>
struct OutCellOf<Result(KX_ENGINE_CALL*)(Parameters...)> {
    using type = std::remove_pointer_t<std::tuple_element_t<sizeof...(Parameters) - 1, std::tuple<Parameters...>>>;
};
template <auto Operation> using OutCell = typename OutCellOf<decltype(Operation)>::type;
template <auto Operation> using CellResult = std::conditional_t<std::is_same_v<OutCell<Operation>, float>, jfloat, jint>;

// Whether a cell getter presets its out cell to -1 (reported as -1 when the engine succeeds
// without writing it). Cells not preset start at 0, so that such an engine never hands Java
// what happened to be on the stack.
enum class Preset { zero, minusOne };

// Plain getter: the operation answers with its int result, which reaches Java unchanged.
template <auto Operation, class... Ints>
jint plainGetter(JNIEnv* env, jlong handle, Ints... ints) {
    if (!requireHandle(env, handle)) return 0;
    return Operation(*cellOfHandle(handle), ints...);
}

// Setter: ints (a volume's float last) in order; nothing returned.
template <auto Operation, class... Args>
void setter(JNIEnv* env, jlong handle, Args... args) {
    callEngine<Operation>(env, handle, args...);
}

// Cell getter: ints in order, then one out cell (int, or float for volumes); 0 or 0.0 after a failure.
template <auto Operation, Preset preset = Preset::zero, class... Ints>
CellResult<Operation> cellGetter(JNIEnv* env, jlong handle, Ints... ints) {
    OutCell<Operation> cell = preset == Preset::minusOne ? -1 : 0;
    return callEngine<Operation>(env, handle, ints..., &cell) ? cell : 0;
}

// Text getter: ints in order, then the engine text buffer and its capacity; null after a failure.
template <auto Operation, class... Ints>
jstring textGetter(JNIEnv* env, jlong handle, Ints... ints) {
    char text[kEngineTextCapacity] = "";
    if (!callEngine<Operation>(env, handle, ints..., text, kEngineTextCapacity)) return nullptr;
    text[kEngineTextCapacity - 1] = '\0';  // never read past the buffer, whatever the engine wrote
    return ansiToJava(env, text);
}

// Pair getter: args in order, then two out cells preset to -1, which become the new
// <className>(first, second); null after a failure.
template <auto Operation, const char* className, class... Args>
jobject pairGetter(JNIEnv* env, jlong handle, Args... args) {
    std::int32_t first = -1;
    std::int32_t second = -1;
    if (!callEngine<Operation>(env, handle, args..., &first, &second)) return nullptr;
    return newValueObject(className, first, second, env);
}

// Start operation: the first int, the 8-bit copy of the Java string, the last int. A null
// string raises NullPointerException naming textName; the copy is released on every path.
template <auto Operation>
void startOperation(JNIEnv* env, jlong handle, jint first, jstring text, const char* textName, jint last) {
    AnsiText copy(env, text, textName);
    if (requireAll(copy)) callEngine<Operation>(env, handle, first, copy.get(), last);
}
