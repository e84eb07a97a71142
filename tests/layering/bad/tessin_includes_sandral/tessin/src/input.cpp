#include "ch10/packet_header.h"
#include "sandral.h"
