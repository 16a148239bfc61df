#pragma once

#include "ToolSupport.h"

namespace tool {

// lang build SOURCE OUT | lang dump FILE
Command LangCommand();

} // namespace tool
