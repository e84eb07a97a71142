#include "platform/files.h"
#include "quillon.h"
