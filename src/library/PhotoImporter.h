#pragma once

// Importing picture files into the photo library, off the interface thread.
//
// Start() takes the chosen paths and returns at once. A small pool of worker threads
// (at most the number of cores) takes the paths in order; for each it looks the file up,
// reads the picture's upright size and makes the 80 x 80 JPEG thumbnail (quality 75,
// the project's JPEG writer, rows stored bottom-up). Each finished photo goes to the
// interface thread through the event loop, where the results are put back into the
// order of the paths and handed to PhotoLibrary::Add, which only checks for a duplicate
// path and appends. The interface thread never decodes a picture.
//
// Acceptance, per path in order:
//   - a path the file system does not find ends the whole import there (the photos
//     before it stay, none after it is added);
//   - a path that does not fit the record's 260-byte field (or a part its own field) is
//     skipped; the skipped paths are listed in the outcome and in one message at the end;
//   - only regular files are read (a named pipe or a device is never opened);
//   - the picture's size must be readable and both sides larger than 5 pixels;
//   - the thumbnail must be made; otherwise the photo is dropped;
//   - a path already in the library (records not removed, byte for byte) is not added.
// Rejected pictures are skipped without a message.
//
// busy() is true from Start() until finished() is emitted; only one import runs at a
// time. Stop() (the progress window's "Stop") ends the import after the files the
// workers are reading: nothing more is added once it has been called. finished() comes
// after every worker thread has ended; progress() names each path as its turn comes.
// Destroying the importer stops it and waits for its threads.

#include "library/PhotoLibraryFile.h"

#include <QObject>
#include <QStringList>

#include <atomic>
#include <map>
#include <thread>
#include <vector>

namespace library {

class PhotoLibrary;

// What a worker made of one path.
struct ExaminedPhoto {
    enum class Verdict {
        Ready,      // record (path, parts, width, height) and thumbnail are set
        NotFound,   // the import ends here
        PathTooLong,
        Unreadable, // size unreadable, a side of 5 pixels or less, or no thumbnail
    };
    Verdict verdict = Verdict::Unreadable;
    QString path;
    PhotoRecord record;
    std::vector<std::uint8_t> thumbnail;
};

// The work done for one path (any thread).
ExaminedPhoto ExaminePhoto(const QString& path);

// The message listing paths skipped for their length.
QString LongPathNote(const QStringList& paths);

class PhotoImporter : public QObject {
    Q_OBJECT
public:
    // workers 0: the number of cores. The library must outlive the importer.
    explicit PhotoImporter(PhotoLibrary& library, int workers = 0, QObject* parent = nullptr);
    ~PhotoImporter() override;

    enum class Ending {
        Completed, // every path had its turn
        Stopped,   // Stop() was called
        NotFound,  // notFoundPath was not found
    };
    struct Outcome {
        Ending ending = Ending::Completed;
        QString notFoundPath;
        int added = 0;
        int rejected = 0; // unreadable, too small or duplicate
        QStringList longPaths;
    };

    // False (nothing started) when an import runs or the list is empty.
    bool Start(const QStringList& paths);
    void Stop();
    bool busy() const { return busy_.load(std::memory_order_acquire); }
    int workerCount() const { return workerCount_; }

signals:
    // On the interface thread: the path whose turn it is, how many paths have had theirs.
    void progress(const QString& path, int done, int total);
    void finished(const library::PhotoImporter::Outcome& outcome);

private:
    void WorkerLoop(int generation);
    void Deliver(int generation, int position, ExaminedPhoto photo);
    void End(Ending ending, const QString& notFoundPath = QString());
    void WorkersDone(int generation);
    void JoinWorkers();

    PhotoLibrary& library_;
    int workerCount_ = 1;

    // Shared with the workers.
    std::atomic<bool> busy_{false};
    std::atomic<bool> stop_{false};
    std::atomic<int> nextPath_{0};
    std::atomic<int> delivered_{0}; // paths whose turn has come (mirrors nextToDeliver_)
    std::atomic<int> running_{0};
    QStringList paths_; // not changed while workers run; read only through const access (at)
    std::vector<std::thread> threads_;

    // Interface thread only.
    int generation_ = 0;
    int nextToDeliver_ = 0;
    bool ended_ = false;
    std::map<int, ExaminedPhoto> waiting_; // finished ahead of their turn
    Outcome outcome_;
};

} // namespace library

Q_DECLARE_METATYPE(library::PhotoImporter::Outcome)
