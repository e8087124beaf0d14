#include "jnihost/jnihost.h"
