#include "jni/format.h"

#include <cstdio>

char* formatInto(char* area, size_t capacity, const char* format, ...) {
    if (area == nullptr || capacity == 0) return area;
    va_list args;
    va_start(args, format);
    if (std::vsnprintf(area, capacity, format, args) < 0) area[0] = '\0';
    va_end(args);
    return area;
}
