#pragma once

// The engine of the batch converter: one run converts a list of picture files into one
// format, writing the results into an output folder. It has no window: the dialog (and
// montara-tool) run it on a worker thread, stop it through RequestStop and follow it
// through the per-file callback.

#include <QImage>
#include <QString>
#include <QStringList>

#include <atomic>
#include <cstdint>
#include <functional>

class ConvertEngine {
public:
    // The format list, in the order the dialog shows it. The chosen name, lower-cased,
    // is the output extension and the format handed to the writers.
    static const QStringList& FormatNames(); // "JPG", "BMP", "GIF", "PNG", "PNM", "TGA", "TIF", "PCX"

    enum class Outcome {
        Written, // converted and written (counts towards the progress)
        Failed,  // read, but the writer failed (counts, as the design counts every attempt)
        Skipped, // could not be sized or read (does not count)
    };
    struct FileReport {
        int index = 0;       // position in the file list
        QString source;
        QString output;      // empty when skipped
        Outcome outcome = Outcome::Skipped;
        int doneCount = 0;   // files converted so far in this run
    };
    using Progress = std::function<void(const FileReport&)>;
    // The file at `index` of the list, read anew before each file: false past the end.
    using FileAt = std::function<bool(int index, QString& path)>;

    // Runs the conversion on the calling thread. `format` is one of FormatNames() in any
    // case; anything else does nothing and returns false. Returns true when the run
    // ended, after the last file or at a stop request seen between two files.
    bool Run(const FileAt& files, const QString& format, const QString& outputFolder, const Progress& progress = {});
    bool Run(const QStringList& files, const QString& format, const QString& outputFolder,
             const Progress& progress = {});

    // The stop event: set from any thread, seen before the next file, reset by the run
    // when it stops.
    void RequestStop() { stop.store(true); }
    bool StopRequested() const { return stop.load(); }
    bool IsConverting() const { return converting.load(); }
    int DoneCount() const { return doneCount.load(); }
    // The pause after each converted file, in milliseconds (50 by default, so that the
    // dialog's progress bar is seen to advance; 0 for montara-tool).
    void SetPauseAfterFile(int milliseconds) { pause.store(milliseconds); }

    // The output folder (a "/" added when missing), then the source's file name cut
    // after its last ".", then the format in lower case: "trip.png" -> "trip.jpg". A
    // name without a dot gets "." and the format appended.
    static QString OutputPath(const QString& outputFolder, const QString& source, const QString& format);
    // The size a source is converted at: metafiles through the metafile reader, other
    // pictures through the picture library. False when it cannot be found.
    static bool SourceSize(const QString& path, int& width, int& height);
    // Writes width x height pixels, blue-green-red top-down (rows of width * 3 bytes), in
    // the format (lower-case name): jpg, jpeg, gif, bmp and png through the encoder chosen
    // by the path (JPEG quality 90), the others through the picture library by format
    // code. The file at path is replaced atomically.
    static bool WritePicture(const std::uint8_t* pixels, int width, int height, const QString& format,
                             const QString& path);
    // The same for a Format_RGB888 or Format_BGR888 picture (rows as the platform pads
    // them), written from its rows: no copy of the picture is made on the way (TIFF:
    // LZW with the horizontal predictor, strips of about 1 MB).
    static bool WritePicture(const QImage& picture, const QString& format, const QString& path);
    // The picture a source is converted from: Format_RGB888, upright, in sRGB, at the size
    // SourceSize reports; the one 24-bit picture of the file. A JPEG is decoded straight
    // into it (JpegDecoder.h); any other file through LoadBgrPicture, its bytes then
    // reordered in place. Null when the file is skipped.
    static QImage ReadPicture(const QString& source);

private:
    // Converts one source into `output` in the format (lower case). A JPEG is decoded on a
    // second thread while this one encodes the rows it has finished.
    static Outcome ConvertFile(const QString& source, const QString& format, const QString& output);

    std::atomic<bool> stop{false};
    std::atomic<bool> converting{false};
    std::atomic<int> doneCount{0};
    std::atomic<int> pause{50};
};
