#include "platform/sim/VirtualClock.h"
