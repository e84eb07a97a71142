#include "platform/ui/frame.h"
#include "platform/ui/wx.h"
