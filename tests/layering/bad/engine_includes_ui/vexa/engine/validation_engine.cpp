#include "platform/thread.h"
#include "vexa/ui/ui_module_state.h"
