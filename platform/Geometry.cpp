#include "platform/Geometry.h"
