#pragma once

#include "ToolSupport.h"

namespace tool {

// project dump FILE | project resave IN OUT
Command ProjectCommand();

} // namespace tool
