#pragma once

// Runs a whole-collage effect (11980 - 11994) for the canvas window without freezing it.
//
// A collage of at most kWorkerPixels pixels is composed, filtered and replaced at once
// (ApplyCollageEffect). A larger one is composed on the interface thread, filtered on a
// worker thread while a window-modal progress dialog shows the filter's progress and
// offers "Cancel" (the window keeps painting, edits wait for the dialog), and replaced on
// the interface thread when the filter ends; a cancelled or failed filter changes
// nothing. finished(applied) follows every run that started. Destroying the runner stops
// a running filter and waits for its thread.

#include "editing/Effects.h"

#include <QObject>
#include <QPointer>
#include <QProgressDialog>
#include <QTimer>

#include <cstdint>
#include <memory>
#include <thread>

class CanvasWnd;
class QWidget;

class EffectRunner : public QObject {
    Q_OBJECT

public:
    // Collages larger than this many pixels are filtered on the worker thread.
    static constexpr std::int64_t kWorkerPixels = std::int64_t(2) * 1000 * 1000;
    // How often the progress dialog reads the filter's progress, in milliseconds.
    static constexpr int kProgressInterval = 50;

    // The progress dialog is a child of dialogParent (the main window).
    EffectRunner(CanvasWnd& canvas, QWidget* dialogParent);
    ~EffectRunner() override;

    // Starts the effect of the command. False, nothing started, when the id is no
    // effect, an effect is running or the collage cannot be composed.
    bool Run(int commandId);
    bool Running() const { return running_; }
    // Stops a running filter (what "Cancel" does); the collage stays as it was.
    void Cancel();
    // The collage size from which the worker thread is used (tests lower it).
    void SetWorkerPixels(std::int64_t pixels) { workerPixels_ = pixels; }
    QProgressDialog* ProgressDialog() const { return dialog_; }

signals:
    void finished(bool applied);

private:
    void OnWorkerDone(bool filtered);
    void Finish(bool applied);

    CanvasWnd& canvas_;
    QPointer<QWidget> dialogParent_;
    QPointer<QProgressDialog> dialog_;
    QTimer progressTimer_;
    std::int64_t workerPixels_ = kWorkerPixels;
    bool running_ = false;
    std::unique_ptr<EffectMonitor> monitor_;
    std::unique_ptr<CollagePicture> picture_;
    std::thread worker_;
};
