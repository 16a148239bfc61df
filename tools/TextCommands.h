#pragma once

#include "ToolSupport.h"

namespace tool {

// text render: one text item in a style preset, on a transparent picture of its box.
Command TextCommand();
// tune: the tuning panel's slider positions applied to a picture.
Command TuneCommand();
// effect: one whole-collage effect command applied to a picture.
Command EffectCommand();

} // namespace tool
