// Bounded composition into fixed areas: the text is cut at the area's capacity, never
// written past it, and always terminated.
#pragma once

#include <cstdarg>
#include <cstddef>

#if defined(__MINGW32__)
#define KX_PRINTF_FORMAT(fmt, args) __attribute__((format(gnu_printf, fmt, args)))
#else
#define KX_PRINTF_FORMAT(fmt, args) __attribute__((format(printf, fmt, args)))
#endif

// Writes at most capacity - 1 characters and the terminator; returns the area (a null
// area or a capacity of 0 is left as it is).
char* formatInto(char* area, size_t capacity, const char* format, ...) KX_PRINTF_FORMAT(3, 4);
