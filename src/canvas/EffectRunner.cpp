#include "canvas/EffectRunner.h"

#include "canvas/CanvasWnd.h"
#include "canvas/CollageEffect.h"

#include <QProgressDialog>

EffectRunner::EffectRunner(CanvasWnd& canvas, QWidget* dialogParent)
    : canvas_(canvas)
    , dialogParent_(dialogParent)
{
    progressTimer_.setInterval(kProgressInterval);
    connect(&progressTimer_, &QTimer::timeout, this, [this] {
        if (dialog_ && monitor_)
            dialog_->setValue(static_cast<int>(monitor_->Progress()));
    });
}

EffectRunner::~EffectRunner()
{
    if (worker_.joinable()) {
        monitor_->Stop();
        worker_.join();
    }
    delete dialog_;
}

bool EffectRunner::Run(int commandId)
{
    if (running_ || !IsEffectCommand(commandId))
        return false;
    const CollageModel& model = canvas_.Model();
    const std::int64_t pixels = std::int64_t(model.CanvasWidth()) * model.CanvasHeight();
    if (pixels <= workerPixels_) {
        running_ = true;
        const bool applied = ApplyCollageEffect(canvas_.Model(), canvas_.Renderer(), commandId);
        Finish(applied);
        return true;
    }

    auto picture = std::make_unique<CollagePicture>(ComposeCollagePicture(canvas_.Renderer()));
    if (picture->width == 0)
        return false;
    running_ = true;
    picture_ = std::move(picture);
    monitor_ = std::make_unique<EffectMonitor>();

    dialog_ = new QProgressDialog(QStringLiteral("Applying the effect to the collage..."), QStringLiteral("Cancel"), 0,
                                  100, dialogParent_); // owned by the main window, deleted when the run ends
    dialog_->setWindowTitle(QStringLiteral("Montara"));
    dialog_->setWindowModality(Qt::WindowModal);
    dialog_->setAutoClose(false);
    dialog_->setAutoReset(false);
    dialog_->setMinimumDuration(0);
    dialog_->setValue(0);
    connect(dialog_, &QProgressDialog::canceled, this, &EffectRunner::Cancel);
    progressTimer_.start();

    worker_ = std::thread([this, commandId, picture = picture_.get(), monitor = monitor_.get()] {
        const bool filtered = ApplyEffect(commandId, *picture, monitor);
        // Delivered only while the runner lives; its destructor joins this thread.
        QMetaObject::invokeMethod(this, [this, filtered] { OnWorkerDone(filtered); }, Qt::QueuedConnection);
    });
    return true;
}

void EffectRunner::Cancel()
{
    if (monitor_)
        monitor_->Stop();
}

void EffectRunner::OnWorkerDone(bool filtered)
{
    if (worker_.joinable())
        worker_.join();
    progressTimer_.stop();
    if (dialog_) {
        dialog_->hide();
        dialog_->deleteLater();
    }
    const bool applied = filtered && !monitor_->Stopped() && TakeEffectResult(canvas_.Model(), *picture_);
    picture_.reset();
    monitor_.reset();
    Finish(applied);
}

void EffectRunner::Finish(bool applied)
{
    running_ = false;
    emit finished(applied);
}
