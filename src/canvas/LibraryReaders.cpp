#include "canvas/LibraryReaders.h"

#include "library/LibraryFiles.h"

CollageModel::FrameOpeningReader LibraryFrameOpeningReader(const QString& dataFolder)
{
    return [path = dataFolder + QLatin1String(library::kPhotoFramesFile)](
               std::int32_t entry) -> std::optional<CollageModel::FrameOpening> {
        const std::optional<library::FrameOpening> o = library::ReadFrameOpening(path, entry);
        if (!o)
            return std::nullopt;
        return CollageModel::FrameOpening{o->left, o->top, o->right, o->bottom};
    };
}

CollageModel::EntrySizeReader LibraryShapeSizeReader(const QString& dataFolder)
{
    return [path = dataFolder + QLatin1String(library::kShapeFile)](std::int32_t entry) {
        return library::ReadShapeSize(path, entry);
    };
}
