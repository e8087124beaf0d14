#include "kx_util_windows_KXWindows.h"
