#include "vexa/res/tables.h"
#include "vexa/ui/startup.h"
