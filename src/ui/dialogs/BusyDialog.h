#pragma once

// A small window that says the program is at work: the skinned frame with the caption
// "Montara", one line of text and a moving bar. It has no buttons and cannot be closed by
// the user; the caller shows it when work runs longer than a moment and hides it at the end.

#include "ui/skin/SkinDialog.h"

#include <QString>

class QProgressBar;

class BusyDialog : public SkinDialog {
    Q_OBJECT
public:
    explicit BusyDialog(const QString& text, QWidget* parent = nullptr);
    ~BusyDialog() override;

    QString Text() const { return text_; }
    QSize sizeHint() const override;

protected:
    void PaintContent(QPainter& painter) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QString text_;
    QProgressBar* bar_;
};
