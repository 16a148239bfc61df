// The project reader: any bytes load or are refused with a reason; a collage that
// loaded is saved and loaded again unchanged.

#include "FuzzSupport.h"

#include "canvas/CollageModel.h"
#include "persist/ProjectFile.h"

#include <QBuffer>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    fuzz::Start(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    QBuffer device(&bytes);
    device.open(QIODevice::ReadOnly);
    CollageModel model;
    const project::LoadResult loaded = project::LoadProjectFrom(model, device);
    if (loaded.status != project::LoadStatus::Loaded) {
        if (loaded.problem.isEmpty())
            fuzz::Fail("a refused project gives no reason");
        return 0;
    }
    QByteArray saved = project::ProjectBytes(model);
    QBuffer again(&saved);
    again.open(QIODevice::ReadOnly);
    CollageModel reloaded;
    if (project::LoadProjectFrom(reloaded, again).status != project::LoadStatus::Loaded)
        fuzz::Fail("a saved collage does not load");
    if (project::ProjectBytes(reloaded) != saved)
        fuzz::Fail("a saved collage changes when loaded again");
    return 0;
}
