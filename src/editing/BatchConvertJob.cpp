#include "editing/BatchConvertJob.h"

#include <QMetaObject>

BatchConvertJob::BatchConvertJob(QObject* parent)
    : QObject(parent)
{
}

BatchConvertJob::~BatchConvertJob()
{
    // What the worker posts from now on is dropped with this object.
    if (engine_)
        engine_->RequestStop();
    if (worker_.joinable())
        worker_.join();
}

void BatchConvertJob::AddFiles(const QStringList& paths)
{
    const std::lock_guard lock(filesMutex_);
    files_ += paths;
}

QStringList BatchConvertJob::Files() const
{
    const std::lock_guard lock(filesMutex_);
    return files_;
}

int BatchConvertJob::FileCount() const
{
    const std::lock_guard lock(filesMutex_);
    return int(files_.size());
}

bool BatchConvertJob::Start(const QString& format, const QString& outputFolder)
{
    if (converting_ || !ConvertEngine::FormatNames().contains(format.toUpper()))
        return false;
    // Finish() has joined the last run's worker; this only keeps the assignment below safe.
    if (worker_.joinable())
        worker_.join();
    engine_ = std::make_unique<ConvertEngine>();
    if (pause_ >= 0)
        engine_->SetPauseAfterFile(pause_);
    converting_ = true;
    doneCount_ = 0;

    ConvertEngine* engine = engine_.get();
    worker_ = std::thread([this, engine, format, outputFolder, observer = observer_] {
        const auto fileAt = [this](int index, QString& path) {
            const std::lock_guard lock(filesMutex_);
            if (index < 0 || index >= files_.size())
                return false;
            path = files_.at(index);
            return true;
        };
        const auto progress = [this, &observer](const ConvertEngine::FileReport& report) {
            if (observer)
                observer(report);
            const int done = report.doneCount;
            QMetaObject::invokeMethod(
                this,
                [this, done] {
                    doneCount_ = done;
                    emit progressed(done);
                },
                Qt::QueuedConnection);
        };
        engine->Run(fileAt, format, outputFolder, progress);
        QMetaObject::invokeMethod(this, [this] { Finish(); }, Qt::QueuedConnection);
    });
    return true;
}

void BatchConvertJob::RequestStop()
{
    if (converting_ && engine_)
        engine_->RequestStop();
}

void BatchConvertJob::Finish()
{
    if (worker_.joinable())
        worker_.join();
    converting_ = false;
    doneCount_ = 0;
    emit finished();
}
