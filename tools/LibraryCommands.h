#pragma once

#include "ToolSupport.h"

namespace tool {

// "library dump FILE [--layout thumbnail|image|frame]": the entries of a library file as JSON;
// "library photos FILE": the records of the photo library file "VelMedia" as JSON.
Command LibraryCommand();

// "pack build CATEGORY OUT.qrs PICTURE... [--opening L,T,R,B per frame]",
// "pack list FILE.qrs" (JSON) and "pack install [--data DIR] FILE.qrs".
Command PackCommand();

} // namespace tool
