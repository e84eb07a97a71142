#include "vexa/engine/frame.h"
#include "sandral.h"
