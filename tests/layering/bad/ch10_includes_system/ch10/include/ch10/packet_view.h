#include <cstdint>
#include <unistd.h>
