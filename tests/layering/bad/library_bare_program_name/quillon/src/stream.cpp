#include "validation_engine.h"
