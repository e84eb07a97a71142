#include "quillon.h"
#include "tessin.h"
