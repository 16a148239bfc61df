#pragma once

// The place of one side panel of the main window: a white box with the frame colour of
// the look. A panel built elsewhere goes in with SetContent and then fills the box (a
// one-pixel frame stays visible around it); until then the box stands empty at its
// place, so the layout, the tab switching and the connections can already be used.

#include <QWidget>

class QVBoxLayout;

class PanelContainer : public QWidget {
    Q_OBJECT
public:
    explicit PanelContainer(const QString& name, QWidget* parent = nullptr);

    // Takes the panel as a child filling the box; a panel set before is deleted.
    void SetContent(QWidget* content);
    QWidget* Content() const { return content_; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QVBoxLayout* layout_ = nullptr;
    QWidget* content_ = nullptr;
};
