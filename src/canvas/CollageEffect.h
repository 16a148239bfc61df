#pragma once

// The whole-collage effect commands (11980 - 11994) on the canvas, headless: the collage
// is composed at full size, the effect's filter runs over that picture (Effects.h) and the
// items are replaced by the result as one picture item, with one undo step
// (CollageModel::ReplaceItemsByPicture). The three stages are separate so that the window
// can run the filter, the long part, on a worker thread (EffectRunner.h); the one-call
// form is for montara-tool, tests and benchmarks.

#include "editing/Effects.h"

class CanvasRenderer;
class CollageModel;

// The collage composed at zoom 1 without handles, as the effects take it (24-bit, bottom
// row first). Empty (width 0) when the export bitmap cannot be made. The view is left as
// it was.
CollagePicture ComposeCollagePicture(CanvasRenderer& renderer);

// Replaces the model's items by the filtered picture (see ReplaceItemsByPicture). False,
// nothing changed, for a picture whose buffer does not match its size.
bool TakeEffectResult(CollageModel& model, const CollagePicture& picture);

// Compose, filter, replace. False with the collage unchanged when the id is no effect,
// the collage cannot be composed or the filter fails or is stopped through `monitor`.
bool ApplyCollageEffect(CollageModel& model, CanvasRenderer& renderer, int commandId,
                        EffectMonitor* monitor = nullptr);
