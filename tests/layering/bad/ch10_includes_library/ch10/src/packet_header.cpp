#include "ch10/packet_header.h"
#include "tessin.h"
