// Calls a native method whose shape is known only at run time, exactly as a JVM does:
// (JNIEnv*, receiver, then ints, longs, floats, booleans and references), returning
// nothing, an int, a long, a float, a boolean or a reference. Used by kxcall.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

namespace jnihost {

// One argument: kind 'J' for a long, 'F' for a float (its bits in the low half), anything
// else for a 32-bit value or a pointer.
struct Argument {
    char kind;
    std::uint64_t bits;
};

namespace detail {
[[noreturn]] inline void unsupportedCall(const char* why) {
    std::fprintf(stderr, "jnihost: callNative: %s\n", why);
    std::abort();
}
}  // namespace detail

// R: std::uint64_t for every integer, boolean or reference result (and void), float for
// a float result.
#if defined(_WIN32) && !defined(_WIN64)
// 32-bit stdcall: every argument in 32-bit stack slots (a long in two, low half first),
// and the callee removes exactly its own argument bytes, so the pointer type must have the
// exact slot count. Results: EAX, EDX:EAX for a long, ST0 for a float.
namespace detail {
using Slot = std::uint32_t;
template <size_t>
using SlotAt = Slot;
constexpr size_t kMaxSlots = 16;

template <class R, size_t... I>
R callSlots(void* function, const Slot* slots, std::index_sequence<I...>) {
    return reinterpret_cast<R(__stdcall*)(SlotAt<I>...)>(function)(slots[I]...);
}
template <class R, size_t N>
R callWith(void* function, const Slot* slots) {
    return callSlots<R>(function, slots, std::make_index_sequence<N>());
}
template <class R, size_t... N>
R callBySlotCount(void* function, const std::vector<Slot>& slots, std::index_sequence<N...>) {
    static constexpr R (*callers[])(void*, const Slot*) = {&callWith<R, N>...};
    return callers[slots.size()](function, slots.data());
}
}  // namespace detail

template <class R>
R callNative(void* function, const std::vector<Argument>& arguments) {
    std::vector<detail::Slot> slots;
    for (const Argument& a : arguments) {
        slots.push_back(static_cast<detail::Slot>(a.bits));
        if (a.kind == 'J') slots.push_back(static_cast<detail::Slot>(a.bits >> 32));
    }
    if (slots.size() >= detail::kMaxSlots) detail::unsupportedCall("too many arguments");
    return detail::callBySlotCount<R>(function, slots, std::make_index_sequence<detail::kMaxSlots>());
}
#elif defined(_WIN32)
// Windows x64: the first four arguments in RCX, RDX, R8, R9 (a float would go in XMM0-3:
// none of our methods has one there), the rest in 8-byte stack slots, a float in the low
// half of its slot. The caller removes the stack arguments, so surplus ones do no harm.
// Results: RAX, XMM0 for a float.
template <class R>
R callNative(void* function, const std::vector<Argument>& arguments) {
    using Word = std::uint64_t;
    Word words[12] = {};
    if (arguments.size() > 12) detail::unsupportedCall("too many arguments");
    for (size_t i = 0; i < arguments.size(); ++i) {
        if (arguments[i].kind == 'F' && i < 4) detail::unsupportedCall("a float among the first four arguments");
        words[i] = arguments[i].bits;
    }
    using Function = R (*)(Word, Word, Word, Word, Word, Word, Word, Word, Word, Word, Word, Word);
    return reinterpret_cast<Function>(function)(words[0], words[1], words[2], words[3], words[4], words[5],
                                                words[6], words[7], words[8], words[9], words[10], words[11]);
}
#else
// System V x86-64: integers and pointers in six registers then on the stack, in order;
// floats in XMM0-7 in their own order, whatever their place. A float's bits travel as the
// low half of a double (a register move keeps them), and surplus arguments do no harm
// (the caller removes the stack ones). Results: RAX, XMM0 for a float.
template <class R>
R callNative(void* function, const std::vector<Argument>& arguments) {
    using Word = std::uint64_t;
    Word words[10] = {};
    double reals[8] = {};
    size_t integers = 0, floats = 0;
    for (const Argument& a : arguments) {
        if (a.kind == 'F') {
            if (floats == 8) detail::unsupportedCall("too many float arguments");
            std::memcpy(&reals[floats++], &a.bits, sizeof(double));
        } else {
            if (integers == 10) detail::unsupportedCall("too many arguments");
            words[integers++] = a.bits;
        }
    }
    using Function = R (*)(Word, Word, Word, Word, Word, Word, double, double, double, double, double, double,
                           double, double, Word, Word, Word, Word);
    return reinterpret_cast<Function>(function)(words[0], words[1], words[2], words[3], words[4], words[5], reals[0],
                                                reals[1], reals[2], reals[3], reals[4], reals[5], reals[6], reals[7],
                                                words[6], words[7], words[8], words[9]);
}
#endif

}  // namespace jnihost
