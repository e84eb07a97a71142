#include "sandral_state.h"
