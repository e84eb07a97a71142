#include "tessin.h"
#include "vexa/ui/main_frame.h"
