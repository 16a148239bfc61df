#pragma once

// The About box: a small skinned dialog with the program's icon, the product name "Montara",
// the version "V2.0" and an OK button (command 1) that closes it; the close button and Esc
// close it too.

#include "ui/skin/SkinDialog.h"

class SkinButton;

class AboutBox : public SkinDialog {
    Q_OBJECT
public:
    static constexpr char kProductName[] = "Montara";
    static constexpr char kVersion[] = "V2.0";

    explicit AboutBox(QWidget* parent = nullptr);

    SkinButton* OkButton() const { return ok_; }
    QSize sizeHint() const override;

protected:
    void PaintContent(QPainter& painter) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    SkinButton* ok_; // child of this dialog
};
