#pragma once

// The control gallery: one window that shows every drawn control of the program in each of
// its states, for people to look at and for the screenshot test to check.
//
// The page is a column of sections. A section is added by one function (see Sections.h);
// the function asks for a section with a title and adds samples to it: a control and a short
// label under it, laid left to right and wrapped into rows. A control shown in a forced state
// (hover, pressed) gets it from ForceHover / setDown after the window is shown, so the real
// control draws it.
//
// Probes: a section names points of its controls with the colour they must show; with
// --probes FILE the gallery writes them, in screen coordinates, once the window is drawn:
// "x y RRGGBB name" per line. The screenshot test compares them with the grabbed screen.

#include <QColor>
#include <QString>
#include <QWidget>

#include <functional>
#include <vector>

class QGridLayout;
class QVBoxLayout;

class GallerySection : public QWidget {
    Q_OBJECT
public:
    GallerySection(const QString& title, QWidget* parent);

    // Adds a control with its label in the next cell; a new row after `columns` cells.
    void AddSample(QWidget* control, const QString& label);
    void SetColumns(int columns) { columns_ = columns; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString title_;
    QGridLayout* grid_;
    int count_ = 0;
    int columns_ = 6;
};

class Gallery : public QWidget {
    Q_OBJECT
public:
    Gallery();

    GallerySection* AddSection(const QString& title);
    void AddProbe(QWidget* widget, QPoint local, QColor expected, const QString& name);
    // Runs after the window is shown (forced states).
    void AfterShow(std::function<void()> step) { afterShow_.push_back(std::move(step)); }

    void Finish(const QString& probePath);

private:
    struct Probe {
        QWidget* widget;
        QPoint local;
        QColor expected;
        QString name;
    };

    QVBoxLayout* column_;
    std::vector<Probe> probes_;
    std::vector<std::function<void()>> afterShow_;
};

// Sends the control an enter event, as the mouse arriving over it would.
void ForceHover(QWidget* control);
