#include "app/MainFrame.h"

#include "app/CommandIds.h"
#include "app/LanguageTable.h"
#include "app/SingleInstance.h"
#include "base/DataFolder.h"
#include "canvas/CanvasWnd.h"
#include "ui/PanelContainer.h"
#include "ui/skin/Skin.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
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

QRect CaptionBand(int w)
{
    return QRect(0, 0, w, frame::kCaptionHeight);
}

bool IsInside(const QObject* object, const QWidget* container)
{
    for (auto* w = qobject_cast<const QWidget*>(object); w; w = w->parentWidget()) {
        if (w == container)
            return true;
    }
    return false;
}

// Caption button faces: drawn glyphs in the caption's text colour.
QIcon CaptionGlyph(int command, bool maximized)
{
    QPixmap pixmap(24, 14);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(skin::kCloseGlyph, 1.4));
    switch (command) {
    case cmd::kClose:
        p.drawLine(QPointF(8.5, 3.5), QPointF(15.5, 10.5));
        p.drawLine(QPointF(15.5, 3.5), QPointF(8.5, 10.5));
        break;
    case cmd::kMaximize:
        if (maximized) {
            p.drawRect(QRectF(8.5, 5.5, 6, 6));
            p.drawPolyline(QPolygonF({QPointF(10.5, 3.5), QPointF(16.5, 3.5), QPointF(16.5, 9.5)}));
        } else {
            p.drawRect(QRectF(8.5, 3.5, 7, 7));
        }
        break;
    default:
        p.drawLine(QPointF(8.5, 10.5), QPointF(15.5, 10.5));
        break;
    }
    return QIcon(pixmap);
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
    // The icons of the tool bar and menus are the Breeze theme's by their standard names.
    if (QIcon::themeName().isEmpty() || QIcon::themeName() == QLatin1String("hicolor"))
        QIcon::setThemeName(QStringLiteral("breeze"));

    // 4-5: title, caption buttons, placement and the instance marker.
    setWindowTitle(QStringLiteral("Montara"));
    CreateCaptionButtons();
    PlaceOnScreen();
    setProperty(SingleInstance::kInstanceMarker, 1);

    // 6: the language table; the caption band and the panels take their texts from it.
    LoadLanguage();
    captionText = LangText(kLangCaption);
    libraryFilePath = DataFolder() + QStringLiteral("VelMedia");
    // The photo library list is loaded here by the photo library's own code (it comes
    // with the photo library panel).

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

    SwitchTab(Tab::Frame);
    LayOut();
    UpdateCommandStates();

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
        auto* button = new QPushButton(this); // owned by this window
        button->setObjectName(QString::number(entry.command));
        button->setToolTip(QString::fromLatin1(entry.tip));
        button->setIcon(CaptionGlyph(entry.command, false));
        button->setIconSize(frame::kCaptionButtonSize);
        button->setFlat(true);
        button->setFocusPolicy(Qt::NoFocus);
        const int command = entry.command;
        connect(button, &QAbstractButton::clicked, this, [this, command] { OnCommand(command); });
        buttons[command] = button;
    }
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
    CollageModel& model = canvas->Model();
    // History, selection and presses on the canvas: the edit commands change state.
    connect(&model, &CollageModel::historyChanged, this, &MainFrame::OnRefresh);
    // An item was added or a decoration applied: the brush tool is off now.
    connect(&model, &CollageModel::itemAdded, this, &MainFrame::OnBrushToolOff);
    // The canvas puts an item's text into the text panel's box and focuses it.
    connect(&model, &CollageModel::textBoxRequested, this, [this](const QString& text) {
        if (!textEditBox)
            return;
        const QSignalBlocker blocker(textEditBox);
        textEditBox->setProperty("plainText", text);
        textEditBox->setFocus(Qt::OtherFocusReason);
    });
    // The panels of the library strip, the photo library, the tuning and text panels and
    // the brush panel connect here to the slots of this window as they come.
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

void MainFrame::ComposeBackBuffer()
{
    const int w = width();
    const int h = height();
    const qreal ratio = devicePixelRatioF();
    backBuffer = QPixmap(QSize(w, h) * ratio);
    backBuffer.setDevicePixelRatio(ratio);
    QPainter p(&backBuffer);
    p.fillRect(QRect(0, 0, w, h), skin::kDialogBackground);

    // Caption band with the window's icon and caption text.
    const QRect band = CaptionBand(w);
    QLinearGradient caption(band.topLeft(), band.bottomLeft());
    caption.setColorAt(0, skin::kCaptionBar);
    caption.setColorAt(1, skin::kCaptionBar);
    p.fillRect(band, caption);
    const QPixmap icon = windowIcon().pixmap(QSize(18, 18), ratio);
    p.drawPixmap(frame::kCaptionInset, (frame::kCaptionHeight - 18) / 2, icon);
    QFont captionFont = font();
    captionFont.setBold(true);
    captionFont.setPixelSize(13);
    p.setFont(captionFont);
    p.setPen(skin::kText);
    p.drawText(QRect(frame::kCaptionInset + 26, 0, w - 2 * frame::kCaptionInset - 120, frame::kCaptionHeight),
               Qt::AlignLeft | Qt::AlignVCenter, captionText);

    // Menu bar under the caption.
    const QRect menuBar(0, frame::kCaptionHeight, w, frame::kFirstMenuButton.y() + frame::kMenuButtonSize.height()
                                                           + 3 - frame::kCaptionHeight);
    p.fillRect(menuBar, skin::kMenuBackground);
    p.setPen(skin::kFrameColour);
    p.drawLine(menuBar.bottomLeft(), menuBar.bottomRight());

    // The tab row and the tool bar's band stand on the panel colour with a frame line.
    const QRect tools(frame::kCanvasRect.left.At(w, h), frame::kToolBarTop - 4,
                      frame::kCanvasRect.right.At(w, h) - frame::kCanvasRect.left.At(w, h),
                      frame::kCanvasRect.top.At(w, h) - frame::kToolBarTop + 4);
    p.fillRect(tools, skin::kPanelBackground);
    p.setPen(skin::kFrameColour);
    p.drawRect(tools.adjusted(0, 0, -1, 0));

    // Photo library header (its buttons) and the property bar.
    const QRect property(frame::kBrushPanelRect.left.At(w, h), frame::kBrushPanelRect.bottom.At(w, h) + 2,
                         frame::kBrushPanelRect.right.At(w, h) - frame::kBrushPanelRect.left.At(w, h),
                         frame::kColourPickerRect.top.At(w, h) - frame::kBrushPanelRect.bottom.At(w, h) - 6);
    p.fillRect(property, skin::kPanelBackground);
    p.drawRect(property.adjusted(0, 0, -1, -1));
    PaintPropertyBarLabels(p);

    // A one-pixel outline, so that the frameless window stands apart from what is behind it.
    p.setPen(skin::kWindowOutline);
    p.drawRect(QRect(0, 0, w - 1, h - 1));
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
        if (QAbstractButton* b = CommandButton(cmd::kMaximize)) {
            b->setIcon(CaptionGlyph(cmd::kMaximize, maximized != 0));
            b->setToolTip(maximized ? QStringLiteral("Restore") : QStringLiteral("Maximize"));
        }
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
