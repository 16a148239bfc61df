#pragma once

// One batch conversion at a time, off the interface thread: the worker behind the "Batch
// Convert" dialog. It has no window; it lives on the thread that made it (the interface
// thread) and talks to it only through that thread's event loop.
//
// The file list belongs to the job. Paths are appended on the owner's thread, also while a
// run goes on; the run reads the list anew before each file, so a path added during a run
// is converted in that run. Nothing checks for duplicates.
//
// Start(format, folder) starts a worker thread that runs the conversion engine over the
// list and returns at once; it does nothing (and returns false) while a run goes on or for
// a format that is not one of ConvertEngine::FormatNames(). IsConverting() is true from
// Start() until finished() is emitted. After each file the worker posts the number of files
// converted so far to the owner's thread, where DoneCount() takes it and progressed() is
// emitted; a skipped file posts the count unchanged. When the run ends (after the last
// file, or at a stop request seen between two files) DoneCount() returns to 0 and
// finished() is emitted, in that order, after every progressed() of the run.
//
// RequestStop() is the stop event: the file being converted is finished and written, no
// other is started. A stop requested while no run goes on is forgotten. Destroying the job
// stops a run the same way and waits for its worker.

#include "editing/ConvertEngine.h"

#include <QObject>
#include <QStringList>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

class BatchConvertJob : public QObject {
    Q_OBJECT
public:
    explicit BatchConvertJob(QObject* parent = nullptr);
    ~BatchConvertJob() override;

    void AddFiles(const QStringList& paths);
    QStringList Files() const;
    int FileCount() const;

    bool Start(const QString& format, const QString& outputFolder);
    bool IsConverting() const { return converting_; }
    int DoneCount() const { return doneCount_; }
    void RequestStop();

    // The pause after each converted file, for the runs started from now on (the engine's
    // 50 ms unless changed).
    void SetPauseAfterFile(int milliseconds) { pause_ = milliseconds; }
    // Called on the worker thread after each file, before its progress is posted.
    using WorkerObserver = std::function<void(const ConvertEngine::FileReport&)>;
    void SetWorkerObserver(WorkerObserver observer) { observer_ = std::move(observer); }

signals:
    void progressed(int doneCount);
    void finished();

private:
    void Finish();

    mutable std::mutex filesMutex_; // the list is read by the worker, appended by the owner
    QStringList files_;
    std::unique_ptr<ConvertEngine> engine_; // one per run, so a late stop request never leaks into the next
    std::thread worker_;
    bool converting_ = false; // owner's thread only
    int doneCount_ = 0;       // owner's thread only
    int pause_ = -1;          // -1: the engine's own
    WorkerObserver observer_;
};
