#pragma once

#include "ToolSupport.h"

namespace tool {

// cipher encipher|decipher [--square-key HEX32] [--gost-key HEX64] IN OUT
Command CipherCommand();

} // namespace tool
