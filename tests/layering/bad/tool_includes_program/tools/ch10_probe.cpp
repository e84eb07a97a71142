#include "tessin.h"
#include "vexa/engine/frame.h"
