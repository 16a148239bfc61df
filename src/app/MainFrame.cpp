#include "app/MainFrame.h"

#include "app/CommandIds.h"
#include "app/LanguageTable.h"
#include "app/SingleInstance.h"
#include "base/DataFolder.h"
#include "canvas/CanvasWnd.h"
#include "canvas/EffectRunner.h"
#include "editing/TextPanel.h"
#include "editing/TuningPanel.h"
#include "ui/CMstMenu.h"
#include "ui/CVelComboBox.h"
#include "ui/PanelContainer.h"
#include "ui/skin/SkinArt.h"
#include "ui/skin/SkinButton.h"
#include "ui/skin/SkinGeometry.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTextEdit>
#include <QWindow>

namespace {

struct CaptionButtonEntry {
    int command;
    const char* tip;
};

// Right to left: Close, Maximise/Restore, Minimise.
constexpr CaptionButtonEntry kCaptionButtons[] = {
    {cmd::kClose, "Close"},
    {cmd::kMaximize, "Maximize"},
    {cmd::kMinimize, "Minimize"},
};

struct PanelPlaceEntry {
    MainFrame::Tab tab;
    const char* name;
};

// The panels of the library strip, in the order of their tabs.
constexpr PanelPlaceEntry kLibraryPlaces[] = {
    {MainFrame::Tab::Frame, "framePanel"},     {MainFrame::Tab::Shape, "shapePanel"},
    {MainFrame::Tab::Mask, "maskPanel"},       {MainFrame::Tab::ClipArt, "clipArtPanel"},
    {MainFrame::Tab::Tuning, "tuningPanel"},   {MainFrame::Tab::Text, "textPanel"},
};

// The window never gets smaller than this: below it the fixed rectangles would overlap.
constexpr QSize kMinimumSize{800, 520};

bool IsInside(const QObject* object, const QWidget* container)
{
    for (auto* w = qobject_cast<const QWidget*>(object); w; w = w->parentWidget()) {
        if (w == container)
            return true;
    }
    return false;
}

// Caption button faces, 24 x 14 on the caption bar: the glyph in the caption's glyph colour;
// under the mouse and held a rounded face (red for Close) with a white glyph for Close.
QPixmap CaptionButtonArt(int command, bool maximized, skin::ButtonState state)
{
    const QSize size = frame::kCaptionButtonSize;
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(skin::kCaptionBar);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const bool close = command == cmd::kClose;
    QColor glyph = state == skin::kStateDisabled ? skin::kDisabledText : skin::kCloseGlyph;
    if (state == skin::kStateHover || state == skin::kStatePressed) {
        const bool held = state == skin::kStatePressed;
        p.setPen(Qt::NoPen);
        p.setBrush(close ? (held ? skin::kClosePressed : skin::kCloseHover)
                         : (held ? skin::kCaptionButtonPressed : skin::kCaptionButtonHover));
        p.drawRoundedRect(QRectF(0, 0, size.width(), size.height()), 3, 3);
        if (close)
            glyph = Qt::white;
    }
    p.setPen(QPen(glyph, 1.4, Qt::SolidLine, Qt::RoundCap, Qt::MiterJoin));
    p.setBrush(Qt::NoBrush);
    const QPointF c(size.width() / 2.0, size.height() / 2.0);
    switch (command) {
    case cmd::kClose:
        p.drawLine(c + QPointF(-3.5, -3.5), c + QPointF(3.5, 3.5));
        p.drawLine(c + QPointF(-3.5, 3.5), c + QPointF(3.5, -3.5));
        break;
    case cmd::kMaximize:
        if (maximized) {
            p.drawRect(QRectF(c.x() - 4, c.y() - 2, 6, 6));
            p.drawPolyline(QPolygonF({c + QPointF(-2, -4), c + QPointF(4, -4), c + QPointF(4, 2)}));
        } else {
            p.drawRect(QRectF(c.x() - 3.5, c.y() - 3.5, 7, 7));
        }
        break;
    default:
        p.drawLine(c + QPointF(-3.5, 3), c + QPointF(3.5, 3));
        break;
    }
    p.end();
    return QPixmap::fromImage(image);
}

} // namespace

MainFrame::MainFrame(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint)
{
    // 1-3: icon, a window without the system's caption, tooltips (each control carries
    // its own) and the back buffer, composed on the first layout.
    setObjectName(QStringLiteral("MainFrame"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/montara.png")));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setSizeGripEnabled(false);

    // 4-5: title, caption buttons, placement and the instance marker.
    setWindowTitle(QStringLiteral("Montara"));
    CreateCaptionButtons();
    PlaceOnScreen();
    setProperty(SingleInstance::kInstanceMarker, 1);

    // 6: the language table; the caption band and the panels take their texts from it.
    LoadLanguage();
    captionText = LangText(kLangCaption);
    libraryFilePath = DataFolder() + QStringLiteral("VelMedia");
    // The photo library list is loaded with its panel, which needs the canvas (WirePanels).

    // 7-12: panels, canvas, property bar, tool bar, menu bar.
    CreatePanels();
    CreateCanvas();
    CreatePropertyBar();
    CreateToolBar();
    CreateMenuBar();
    CreateMenus();

    RegisterWindowCommands();
    RegisterFileCommands();
    RegisterEditCommands();
    RegisterLibraryCommands();
    RegisterHelpCommands();
    WirePanels();
    UseLibraryFolder(DataFolder());

    SwitchTab(Tab::Frame);
    LayOut();
    UpdateCommandStates();
    // The brush tool starts with what the property bar shows.
    OnPropertyBarChanged();

    // Keys the window handles wherever the focus is inside it (see eventFilter).
    qApp->installEventFilter(this);
}

MainFrame::~MainFrame()
{
    qApp->removeEventFilter(this);
}

// ---- commands ---------------------------------------------------------------------

void MainFrame::Register(std::initializer_list<int> ids, Handler handler)
{
    for (int id : ids)
        commands[id] = handler;
}

void MainFrame::RegisterPending(std::initializer_list<int> ids)
{
    Register(ids, [] {});
}

bool MainFrame::OnCommand(int id)
{
    emit commandReceived(id);
    const auto found = commands.find(id);
    if (found == commands.end())
        return false;
    // A disabled command does nothing, whichever way it arrives (Ctrl+Z on an empty
    // history, a menu opened before the state changed).
    if (IsCommandEnabled(id))
        found->second();
    UpdateCommandStates();
    return true;
}

void MainFrame::RegisterWindowCommands()
{
    // Closing goes through closeEvent, which asks about unsaved work; posted, so that a
    // menu or button that sent the command has finished first.
    Register({cmd::kClose, cmd::kExit}, [this] { QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection); });
    Register({cmd::kMinimize}, [this] { ShowMinimizedFromCaption(); });
    Register({cmd::kMaximize}, [this] { ToggleMaximize(); });
}

QAbstractButton* MainFrame::CommandButton(int id) const
{
    const auto found = buttons.find(id);
    return found == buttons.end() ? nullptr : found->second;
}

// ---- construction -----------------------------------------------------------------

void MainFrame::CreateCaptionButtons()
{
    for (const CaptionButtonEntry& entry : kCaptionButtons) {
        auto* button = new SkinButton(entry.command, this); // owned by this window
        button->setToolTip(QString::fromLatin1(entry.tip));
        button->SetThreePiece(false);
        connect(button, &SkinAbstractButton::command, this, &MainFrame::OnCommand);
        buttons[entry.command] = button;
    }
    SetCaptionButtonLooks();
}

void MainFrame::SetCaptionButtonLooks()
{
    for (const CaptionButtonEntry& entry : kCaptionButtons) {
        auto* button = static_cast<SkinButton*>(buttons[entry.command]);
        const bool max = maximized != 0;
        button->SetBitmaps(CaptionButtonArt(entry.command, max, skin::kStateNormal),
                           CaptionButtonArt(entry.command, max, skin::kStateHover),
                           CaptionButtonArt(entry.command, max, skin::kStatePressed),
                           CaptionButtonArt(entry.command, max, skin::kStateDisabled));
    }
    if (QAbstractButton* b = CommandButton(cmd::kMaximize))
        b->setToolTip(maximized ? QStringLiteral("Restore") : QStringLiteral("Maximize"));
}

void MainFrame::PlaceOnScreen()
{
    // At (0, 0) with the screen's width and the height of a maximised window less 10;
    // never larger than the screen's available area.
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect available = screen->availableGeometry();
    setMinimumSize(kMinimumSize);
    setMaximumSize(screen->geometry().width(), available.height());
    setGeometry(0, 0, screen->geometry().width(), available.height() - 10);
}

void MainFrame::CreatePanels()
{
    photoLibrary = new PanelContainer(QStringLiteral("photoLibraryPanel"), this); // owned by this window
    for (const PanelPlaceEntry& entry : kLibraryPlaces) {
        auto* place = new PanelContainer(QString::fromLatin1(entry.name), this); // owned by this window
        place->hide();
        libraryPanels[static_cast<std::size_t>(entry.tab)] = place;
    }
    brushPanel = new PanelContainer(QStringLiteral("brushPanel"), this); // owned by this window
}

void MainFrame::CreateCanvas()
{
    canvas = new CanvasWnd(this); // owned by this window
    canvas->setObjectName(QStringLiteral("canvas"));
}

void MainFrame::WirePanels()
{
    // The canvas's notifications (its model's come through it).
    // History, selection and presses on the canvas: the edit commands change state.
    connect(canvas, &CanvasWnd::historyChanged, this, &MainFrame::OnRefresh);
    // An item was added or a decoration applied: the brush tool is off now.
    connect(canvas, &CanvasWnd::itemAdded, this, &MainFrame::OnBrushToolOff);
    // An effect changed the collage: one more undo step.
    connect(canvas, &CanvasWnd::effectApplied, this, &MainFrame::OnRefresh);
    // The canvas puts an item's text into the text panel's box and focuses it.
    // All of it selected, the caret at its end.
    connect(canvas, &CanvasWnd::textBoxRequested, this, [this](const QString& text) {
        if (!textEditBox)
            return;
        {
            const QSignalBlocker blocker(textEditBox);
            if (auto* edit = qobject_cast<QPlainTextEdit*>(textEditBox.data())) {
                edit->setPlainText(text);
                edit->selectAll();
            } else if (auto* rich = qobject_cast<QTextEdit*>(textEditBox.data())) {
                rich->setPlainText(text);
                rich->selectAll();
            } else if (auto* line = qobject_cast<QLineEdit*>(textEditBox.data())) {
                line->setText(text);
                line->selectAll();
            }
        }
        textEditBox->setFocus(Qt::OtherFocusReason);
    });
    connect(canvas, &CanvasWnd::leavePreviewRequested, this, &MainFrame::OnLeavePreview);
    connect(canvas, &CanvasWnd::contextMenuRequested, this,
            [this](QPoint globalPosition) { OnContextMenu(globalPosition, false); });
    // The tuning panel sets the selection's tuning itself and follows the selection.
    LibraryPanelPlace(Tab::Tuning).SetContent(new TuningPanel(*canvas)); // owned by its place
    // The text panel: its record, the live text of its box, "Add".
    auto* text = new TextPanel; // owned by its place
    LibraryPanelPlace(Tab::Text).SetContent(text);
    SetTextEditBox(text->TextBox());
    connect(text, &TextPanel::settingsChanged, this, &MainFrame::OnTextPanelSettings);
    connect(text, &TextPanel::textChanged, this, &MainFrame::OnTextBoxChanged);
    connect(text, &TextPanel::addRequested, this, &MainFrame::OnAddText);
    OnTextPanelSettings(text->Settings()); // the first font, style 0, lfHeight 48
    effectRunner = std::make_unique<EffectRunner>(*canvas, this);
    // The photo library column: import, remove, add to canvas; its list is loaded now.
    CreatePhotoLibraryPanel();
    // The library panels (frames, masks, shapes, clip-art, brushes): Apply, presses and
    // drags released over the canvas.
    CreateLibraryPanels();
}

void MainFrame::SetTextEditBox(QWidget* box)
{
    textEditBox = box;
}

// ---- layout and painting -------------------------------------------------------------

void MainFrame::LayOut()
{
    const int w = width();
    const int h = height();
    if (inPreview) {
        // The canvas alone, over the whole client area, the collage zoomed to fit it.
        const CollageModel& model = canvas->Model();
        canvas->setGeometry(rect());
        canvas->SetZoom(frame::PreviewZoom(w, h, model.CanvasWidth(), model.CanvasHeight()));
        return;
    }
    for (int i = 0; i < 3; ++i)
        buttons[kCaptionButtons[i].command]->setGeometry(frame::CaptionButtonRect(i, w, h));
    canvas->setGeometry(frame::kCanvasRect.At(w, h));
    photoLibrary->setGeometry(frame::kPhotoColumnRect.At(w, h));
    for (PanelContainer* place : libraryPanels)
        place->setGeometry(frame::kLibraryStripRect.At(w, h));
    LayOutLibrary(w, h);
    LayOutMenuBar();
    LayOutToolBar(w, h);
    LayOutPropertyBar(w, h);
    ComposeBackBuffer();
    update();
}

// ---- preview -----------------------------------------------------------------------

void MainFrame::EnterPreview()
{
    if (inPreview)
        return;
    if (openMenu)
        openMenu->close();
    hiddenForPreview.clear();
    for (QObject* child : children()) {
        auto* widget = qobject_cast<QWidget*>(child);
        if (widget && widget != canvas && !widget->isWindow() && widget->isVisible()) {
            hiddenForPreview.emplace_back(widget);
            widget->hide();
        }
    }
    inPreview = true;
    canvas->raise();
    canvas->SetPreviewMode(true); // no handles
    canvas->DropCaches();
    LayOut();
}

void MainFrame::LeavePreview()
{
    if (!inPreview)
        return;
    inPreview = false;
    canvas->SetPreviewMode(false);
    canvas->DropCaches();
    const int entry = zoomBox->GetCurSel();
    canvas->SetZoom(entry >= 0 && entry < static_cast<int>(frame::kZoomFactors.size())
                        ? frame::kZoomFactors[static_cast<std::size_t>(entry)]
                        : frame::kZoomFactors[frame::kInitialZoomEntry]);
    for (const QPointer<QWidget>& widget : hiddenForPreview) {
        if (widget)
            widget->show();
    }
    hiddenForPreview.clear();
    SwitchTab(currentTab); // one panel of the strip, whatever happened meanwhile
    LayOut();
    UpdateCommandStates();
}

bool MainFrame::FilterPreviewEvent(QObject*, QEvent* event)
{
    // The canvas ends the preview on a press and on Escape while it has the focus; Escape
    // ends it wherever the focus is.
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        LeavePreview();
        return true;
    }
    return false;
}

void MainFrame::ComposeBackBuffer()
{
    const int w = width();
    const int h = height();
    const qreal ratio = devicePixelRatioF();
    backBuffer = QPixmap(QSize(w, h) * ratio);
    backBuffer.setDevicePixelRatio(ratio);
    QPainter p(&backBuffer);
    p.fillRect(QRect(0, 0, w, h), skin::kDialogBackground);

    // The caption band is the dialogs' caption bar (bitmap 135), with the window's icon and
    // the caption text drawn as the dialogs draw theirs.
    const QPixmap bar = skin::Art(skin::kBmpCaptionBar);
    for (const skin::Piece& piece : skin::CaptionBarPieces(size()))
        p.drawPixmap(piece.target, bar, piece.source);
    const QPixmap icon = windowIcon().pixmap(QSize(frame::kCaptionIconSize, frame::kCaptionIconSize), ratio);
    p.drawPixmap(frame::kCaptionIconLeft, (frame::kCaptionHeight - frame::kCaptionIconSize) / 2, icon);
    const int textLeft = frame::kCaptionIconLeft + frame::kCaptionIconSize + frame::kCaptionTextGap;
    const QRect textBox(textLeft, skin::kCaptionTextY, frame::CaptionButtonRect(2, w, h).left() - 8 - textLeft,
                        frame::kCaptionHeight - skin::kCaptionTextY);
    const QString caption = fontMetrics().elidedText(captionText, Qt::ElideRight, textBox.width());
    constexpr int kCaptionFlags = Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine;
    p.setFont(font());
    p.setPen(skin::kCaptionShadow);
    p.drawText(textBox.translated(1, 1), kCaptionFlags, caption);
    p.setPen(skin::kText);
    p.drawText(textBox, kCaptionFlags, caption);

    // The menu bar under the caption ends in a frame line.
    p.setPen(skin::kFrameColour);
    p.drawLine(1, frame::kMenuBarBottom, w - 2, frame::kMenuBarBottom);

    // The property bar: labels, sliders and values on the panel colour in a frame.
    const QRect property = frame::PropertyBoxRect(w, h);
    p.fillRect(property, skin::kPanelBackground);
    p.drawRect(property.adjusted(0, 0, -1, -1));
    PaintPropertyBarLabels(p);

    // A one-pixel outline below the caption bar (which draws its own), so that the frameless
    // window stands apart from what is behind it.
    p.setPen(skin::kWindowOutline);
    p.drawLine(0, frame::kCaptionHeight, 0, h - 1);
    p.drawLine(w - 1, frame::kCaptionHeight, w - 1, h - 1);
    p.drawLine(0, h - 1, w - 1, h - 1);
}

void MainFrame::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (isMinimized()) {
        painter.fillRect(rect(), skin::kDialogBackground);
        const QPixmap icon = windowIcon().pixmap(QSize(32, 32));
        painter.drawPixmap(rect().center() - QPoint(16, 16), icon);
        return;
    }
    if (backBuffer.isNull() || backBuffer.size() / backBuffer.devicePixelRatio() != size())
        ComposeBackBuffer();
    painter.drawPixmap(0, 0, backBuffer);
    PaintPropertyBarValues(painter);
}

void MainFrame::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    LayOut();
}

void MainFrame::changeEvent(QEvent* event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) {
        maximized = isMaximized() ? 1 : 0;
        SetCaptionButtonLooks();
    }
}

void MainFrame::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!shownOnce) {
        shownOnce = true;
        emit windowShown();
    }
}

// ---- the window frame ----------------------------------------------------------------

void MainFrame::ToggleMaximize()
{
    if (!maximized) {
        showMaximized();
        maximized = 1;
    } else {
        showNormal();
        maximized = 0;
    }
    LayOut();
}

void MainFrame::ShowMinimizedFromCaption()
{
    showMinimized();
}

namespace {

Qt::CursorShape FrameCursor(frame::FrameHit hit)
{
    using frame::FrameHit;
    switch (hit) {
    case FrameHit::TopLeft:
    case FrameHit::BottomRight:
        return Qt::SizeFDiagCursor;
    case FrameHit::TopRight:
    case FrameHit::BottomLeft:
        return Qt::SizeBDiagCursor;
    case FrameHit::Left:
    case FrameHit::Right:
        return Qt::SizeHorCursor;
    case FrameHit::Top:
    case FrameHit::Bottom:
        return Qt::SizeVerCursor;
    default:
        return Qt::ArrowCursor;
    }
}

Qt::Edges FrameEdges(frame::FrameHit hit)
{
    using frame::FrameHit;
    switch (hit) {
    case FrameHit::TopLeft:
        return Qt::TopEdge | Qt::LeftEdge;
    case FrameHit::BottomLeft:
        return Qt::BottomEdge | Qt::LeftEdge;
    case FrameHit::TopRight:
        return Qt::TopEdge | Qt::RightEdge;
    case FrameHit::BottomRight:
        return Qt::BottomEdge | Qt::RightEdge;
    case FrameHit::Left:
        return Qt::LeftEdge;
    case FrameHit::Right:
        return Qt::RightEdge;
    case FrameHit::Top:
        return Qt::TopEdge;
    case FrameHit::Bottom:
        return Qt::BottomEdge;
    default:
        return {};
    }
}

} // namespace

void MainFrame::mousePressEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    const frame::FrameHit hit = frame::HitTestFrame(p.x(), p.y(), width(), height());
    if (event->button() == Qt::RightButton && hit == frame::FrameHit::Caption) {
        ShowMenu(MenuId::Window, event->globalPosition().toPoint());
        return;
    }
    if (event->button() != Qt::LeftButton || hit == frame::FrameHit::None || !windowHandle()) {
        QDialog::mousePressEvent(event);
        return;
    }
    setCursor(FrameCursor(hit));
    if (hit == frame::FrameHit::Caption) {
        windowHandle()->startSystemMove();
    } else if (!maximized) {
        windowHandle()->startSystemResize(FrameEdges(hit));
    }
}

void MainFrame::mouseMoveEvent(QMouseEvent* event)
{
    if (!event->buttons() && !maximized) {
        const QPoint p = event->position().toPoint();
        const frame::FrameHit hit = frame::HitTestFrame(p.x(), p.y(), width(), height());
        setCursor(FrameCursor(hit == frame::FrameHit::Caption ? frame::FrameHit::None : hit));
    }
    QDialog::mouseMoveEvent(event);
}

void MainFrame::mouseDoubleClickEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    if (event->button() == Qt::LeftButton
        && frame::HitTestFrame(p.x(), p.y(), width(), height()) == frame::FrameHit::Caption) {
        OnCommand(cmd::kMaximize);
        return;
    }
    QDialog::mouseDoubleClickEvent(event);
}

// ---- keys and closing ----------------------------------------------------------------

bool MainFrame::eventFilter(QObject* watched, QEvent* event)
{
    if (inPreview && watched->isWidgetType() && static_cast<QWidget*>(watched)->window() == this
        && FilterPreviewEvent(watched, event)) {
        return true;
    }
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
        return QDialog::eventFilter(watched, event);
    // Only keys for this window and its children; menus, the zoom list and dialogs are
    // windows of their own and keep their keys.
    if (static_cast<QWidget*>(watched)->window() != this)
        return QDialog::eventFilter(watched, event);

    const auto* key = static_cast<QKeyEvent*>(event);
    const bool ctrl = key->modifiers().testFlag(Qt::ControlModifier);
    if (ctrl && key->key() == Qt::Key_Z) {
        OnCommand(cmd::kUndo);
        return true;
    }
    if (ctrl && key->key() == Qt::Key_Y) {
        OnCommand(cmd::kRedo);
        return true;
    }
    if (key->key() == Qt::Key_Escape)
        return true;
    if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && !IsInside(watched, textEditBox))
        return true;
    return QDialog::eventFilter(watched, event);
}

void MainFrame::reject()
{
    // The window never closes on Escape; closing goes through closeEvent.
}

void MainFrame::closeEvent(QCloseEvent* event)
{
    if (closing) {
        event->accept();
        return;
    }
    if (!ConfirmClose()) {
        event->ignore();
        return;
    }
    // The photo library saves its list on this signal.
    closing = true;
    emit aboutToClose();
    event->accept();
    done(0);
    closing = false;
}
