#include "library/PhotoImporter.h"

#include "base/UserMessage.h"
#include "editing/PictureFiles.h"
#include "library/PhotoLibrary.h"

#include <QFileInfo>

#include <algorithm>
#include <chrono>
#include <memory>

namespace library {

namespace {

// How far the workers may run ahead of the photo whose turn it is: the results that
// wait for an earlier one stay few however long one picture takes.
constexpr int kRunAhead = 32;

} // namespace

ExaminedPhoto ExaminePhoto(const QString& path)
{
    using Verdict = ExaminedPhoto::Verdict;
    ExaminedPhoto photo;
    photo.path = path;
    if (path.isEmpty() || !QFileInfo::exists(path)) {
        photo.verdict = Verdict::NotFound;
        return photo;
    }
    std::optional<PhotoRecord> record = RecordForPath(path);
    if (!record) {
        photo.verdict = Verdict::PathTooLong;
        return photo;
    }
    // Only regular files: a decoder opening a named pipe or a device could wait forever
    // or read without end, and a worker cannot be interrupted inside a decoder.
    if (!QFileInfo(path).isFile()) {
        photo.verdict = Verdict::Unreadable;
        return photo;
    }
    int width = 0;
    int height = 0;
    if (!PictureSize(path, width, height) || width <= kMinPhotoSide || height <= kMinPhotoSide) {
        photo.verdict = Verdict::Unreadable;
        return photo;
    }
    photo.thumbnail = MakeThumbnail(path);
    if (photo.thumbnail.empty()) {
        photo.verdict = Verdict::Unreadable;
        return photo;
    }
    record->width = width;
    record->height = height;
    photo.record = *record;
    photo.verdict = Verdict::Ready;
    return photo;
}

QString LongPathNote(const QStringList& paths)
{
    QString text = paths.size() == 1
        ? QStringLiteral("This file was not imported because its path is longer than %1 bytes:\n")
        : QStringLiteral("These files were not imported because their paths are longer than %1 bytes:\n");
    text = text.arg(PhotoRecord::kPathSize - 1);
    constexpr int kListed = 10;
    for (int i = 0; i < paths.size() && i < kListed; ++i)
        text += QLatin1Char('\n') + paths[i];
    if (paths.size() > kListed)
        text += QStringLiteral("\n... and %1 more").arg(paths.size() - kListed);
    return text;
}

PhotoImporter::PhotoImporter(PhotoLibrary& library, int workers, QObject* parent)
    : QObject(parent), library_(library)
{
    if (workers <= 0)
        workers = int(std::thread::hardware_concurrency());
    workerCount_ = std::max(1, workers);
}

PhotoImporter::~PhotoImporter()
{
    stop_.store(true, std::memory_order_release);
    JoinWorkers();
}

bool PhotoImporter::Start(const QStringList& paths)
{
    if (paths.isEmpty() || busy())
        return false;
    JoinWorkers();
    busy_.store(true, std::memory_order_release);
    stop_.store(false, std::memory_order_release);
    paths_ = paths;
    nextPath_.store(0);
    delivered_.store(0);
    ++generation_;
    nextToDeliver_ = 0;
    ended_ = false;
    waiting_.clear();
    outcome_ = Outcome();
    const int count = std::min<qsizetype>(workerCount_, paths_.size());
    running_.store(count);
    for (int i = 0; i < count; ++i)
        threads_.emplace_back(&PhotoImporter::WorkerLoop, this, generation_);
    return true;
}

void PhotoImporter::Stop()
{
    if (!busy())
        return;
    stop_.store(true, std::memory_order_release);
    if (!ended_) {
        ended_ = true;
        outcome_.ending = Ending::Stopped;
    }
    waiting_.clear();
}

void PhotoImporter::WorkerLoop(int generation)
{
    const int total = int(paths_.size());
    for (;;) {
        if (stop_.load(std::memory_order_acquire))
            break;
        const int position = nextPath_.fetch_add(1);
        if (position >= total)
            break;
        while (position >= delivered_.load(std::memory_order_acquire) + kRunAhead
               && !stop_.load(std::memory_order_acquire))
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        if (stop_.load(std::memory_order_acquire))
            break;
        auto photo = std::make_shared<ExaminedPhoto>(ExaminePhoto(paths_.at(position)));
        QMetaObject::invokeMethod(
            this, [this, generation, position, photo] { Deliver(generation, position, std::move(*photo)); },
            Qt::QueuedConnection);
    }
    // The last worker out reports, after every result it and the others posted.
    if (running_.fetch_sub(1, std::memory_order_acq_rel) == 1)
        QMetaObject::invokeMethod(this, [this, generation] { WorkersDone(generation); }, Qt::QueuedConnection);
}

void PhotoImporter::Deliver(int generation, int position, ExaminedPhoto photo)
{
    if (generation != generation_ || ended_)
        return;
    waiting_.emplace(position, std::move(photo));
    const int total = int(paths_.size());
    for (auto next = waiting_.find(nextToDeliver_); next != waiting_.end(); next = waiting_.find(nextToDeliver_)) {
        ExaminedPhoto current = std::move(next->second);
        waiting_.erase(next);
        ++nextToDeliver_;
        delivered_.store(nextToDeliver_, std::memory_order_release);
        using Verdict = ExaminedPhoto::Verdict;
        if (current.verdict == Verdict::NotFound) {
            End(Ending::NotFound, current.path);
            return;
        }
        emit progress(current.path, nextToDeliver_, total);
        if (ended_) // a receiver of progress stopped the import
            return;
        switch (current.verdict) {
        case Verdict::Ready:
            if (library_.Add(current.record, std::move(current.thumbnail)))
                ++outcome_.added;
            else
                ++outcome_.rejected;
            break;
        case Verdict::PathTooLong:
            outcome_.longPaths.append(current.path);
            break;
        case Verdict::Unreadable:
        case Verdict::NotFound:
            ++outcome_.rejected;
            break;
        }
        if (ended_) // a receiver of the library's signals stopped the import
            return;
    }
    if (nextToDeliver_ == total)
        End(Ending::Completed);
}

void PhotoImporter::End(Ending ending, const QString& notFoundPath)
{
    if (ended_)
        return;
    ended_ = true;
    outcome_.ending = ending;
    outcome_.notFoundPath = notFoundPath;
    stop_.store(true, std::memory_order_release);
    waiting_.clear();
}

void PhotoImporter::WorkersDone(int generation)
{
    if (generation != generation_)
        return;
    JoinWorkers();
    if (!ended_) {
        ended_ = true;
        outcome_.ending = Ending::Completed;
    }
    stop_.store(false, std::memory_order_release);
    busy_.store(false, std::memory_order_release);
    const Outcome outcome = outcome_;
    if (!outcome.longPaths.isEmpty())
        ShowUserMessage(LongPathNote(outcome.longPaths));
    emit finished(outcome);
}

void PhotoImporter::JoinWorkers()
{
    for (std::thread& thread : threads_) {
        if (thread.joinable())
            thread.join();
    }
    threads_.clear();
}

} // namespace library
