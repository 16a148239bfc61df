#include "app/CommandIds.h"
#include "app/EditorApp.h"
#include "app/LanguageTable.h"
#include "app/MainFrame.h"
#include "app/SingleInstance.h"
#include "canvas/CanvasWnd.h"
#include "editing/PanelSlider.h"
#include "editing/SliderGeometry.h"
#include "ui/AboutBox.h"
#include "ui/CVelColourPicker.h"
#include "ui/CVelComboBox.h"
#include "ui/ColourPopup.h"
#include "ui/PanelContainer.h"
#include "ui/dialogs/BatchConvertDialog.h"
#include "ui/skin/SkinButton.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPainter>
#include <QProcess>
#include <QScreen>
#include <QShortcut>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace {

// Shows the window at a client size larger than the test screen allows by default.
void ShowAt(MainFrame& frame, int w, int h)
{
    frame.setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    frame.resize(w, h);
    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
    QTRY_COMPARE_WITH_TIMEOUT(frame.size(), QSize(w, h), 2000);
}

// Presses the mouse on a property-bar slider at x (a press reports at once) and returns the
// position that x stands for.
int PressSlider(PanelSlider& slider, int x)
{
    QTest::mouseClick(&slider, Qt::LeftButton, {}, QPoint(x, slider.height() / 2));
    return slider::PositionAtX(x, slider.width(), slider.Minimum(), slider.Maximum());
}

// Clicks the button with this command number as a user does.
void ClickCommand(MainFrame& frame, int id)
{
    QAbstractButton* button = frame.CommandButton(id);
    ASSERT_NE(button, nullptr) << id;
    QTest::mouseClick(button, Qt::LeftButton);
}

// Adds a photo of the given source size; the new item is selected.
void AddPhoto(MainFrame& frame, int x)
{
    ASSERT_TRUE(frame.Canvas().AddPhoto(QStringLiteral("/nonexistent/photo.jpg"), 400, 300, x, 40));
}

constexpr int kEditCommands[] = {
    cmd::kUndo, cmd::kRedo, cmd::kDelete, cmd::kCrop, cmd::kBringForward, cmd::kSendBackward, cmd::kBringToFront,
    cmd::kSendToBack,
};
constexpr int kEditMenuTwins[] = {
    cmd::kUndoMenu, cmd::kRedoMenu, cmd::kDeleteMenu, cmd::kCropMenu, cmd::kBringForwardMenu, cmd::kSendBackwardMenu,
    cmd::kBringToFrontMenu, cmd::kSendToBackMenu,
};

// Whether the command is enabled on the tool bar, in the Edit menu and in the canvas menu;
// fails when the three disagree.
bool EnabledEverywhere(MainFrame& frame, int toolCommand, int menuCommand)
{
    const bool button = frame.CommandButton(toolCommand)->isEnabled();
    const bool edit = frame.MenuAction(MainFrame::MenuId::Edit, menuCommand)->isEnabled();
    const bool context = frame.MenuAction(MainFrame::MenuId::CanvasContext, menuCommand)->isEnabled();
    EXPECT_EQ(button, edit) << toolCommand;
    EXPECT_EQ(button, context) << toolCommand;
    return button;
}

// Runs action once the next modal widget of the given type is up.
template <typename Modal>
void WhenModal(std::function<void(Modal*)> action)
{
    auto* timer = new QTimer(qApp); // deletes itself below
    QObject::connect(timer, &QTimer::timeout, timer, [timer, action] {
        if (auto* modal = qobject_cast<Modal*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            action(modal);
        }
    });
    timer->start(20);
}

} // namespace

// Stands in for the desktop's browser.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl& url) { urls << url; }
};

TEST(MainFrame, OpensFramelessAtTheTopLeftWithScreenWidth)
{
    MainFrame frame;
    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));

    const QScreen* screen = QGuiApplication::primaryScreen();
    EXPECT_EQ(frame.pos(), QPoint(0, 0));
    EXPECT_EQ(frame.width(), screen->geometry().width());
    EXPECT_EQ(frame.height(), screen->availableGeometry().height() - 10);
    EXPECT_EQ(frame.maximumSize(), QSize(screen->geometry().width(), screen->availableGeometry().height()));
    EXPECT_TRUE(frame.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(frame.windowTitle(), QStringLiteral("Montara"));
    EXPECT_EQ(frame.property(SingleInstance::kInstanceMarker).toInt(), 1);
}

TEST(MainFrame, TextsComeFromTheLanguageTable)
{
    LanguageTable table;
    SetLanguageTableOwner(&table);
    {
        MainFrame frame;
        ASSERT_TRUE(table);
        EXPECT_EQ(frame.CaptionText(), QStringLiteral("Montara"));
        EXPECT_EQ(frame.CommandButton(cmd::kFileMenuButton)->text(), QStringLiteral("&File"));
        EXPECT_EQ(frame.CommandButton(cmd::kEditMenuButton)->text(), QStringLiteral("&Edit"));
        EXPECT_EQ(frame.CommandButton(cmd::kLibraryMenuButton)->text(), QStringLiteral("&Library"));
        EXPECT_EQ(frame.CommandButton(cmd::kHelpMenuButton)->text(), QStringLiteral("&Help"));
        EXPECT_EQ(frame.CommandButton(cmd::kFrameTab)->text(), QStringLiteral("Frame"));
        EXPECT_EQ(frame.CommandButton(cmd::kShapeTab)->text(), QStringLiteral("Shape"));
        EXPECT_EQ(frame.CommandButton(cmd::kMaskTab)->text(), QStringLiteral("Mask"));
        EXPECT_EQ(frame.CommandButton(cmd::kTextTab)->text(), QStringLiteral("Text"));
    }
    SetLanguageTableOwner(nullptr);
    MainFrame withoutTable;
    EXPECT_TRUE(withoutTable.CaptionText().isEmpty());
}

TEST(MainFrame, ControlsStandWhereTheLayoutTableSaysAtTwoSizes)
{
    MainFrame frame;
    for (const QSize size : {QSize(1280, 800), QSize(1000, 700)}) {
        ShowAt(frame, size.width(), size.height());
        const int w = size.width(), h = size.height();
        EXPECT_EQ(frame.Canvas().geometry(), QRect(QPoint(178, 242), QPoint(w - 161, h - 17)));
        EXPECT_EQ(frame.PhotoLibraryPlace().geometry(), QRect(QPoint(16, 94), QPoint(169, h - 17)));
        EXPECT_EQ(frame.LibraryPanelPlace(MainFrame::Tab::Frame).geometry(), QRect(QPoint(178, 84), QPoint(w - 17, 206)));
        EXPECT_EQ(frame.BrushPanelPlace().geometry(), QRect(QPoint(w - 152, 215), QPoint(w - 17, h - 226)));
        EXPECT_EQ(frame.CommandButton(cmd::kBrushSwitch)->geometry(), QRect(QPoint(w - 145, h - 219), QPoint(w - 24, h - 189)));
        EXPECT_EQ(frame.Slider(0).geometry(), QRect(QPoint(w - 104, h - 180), QPoint(w - 41, h - 168)));
        EXPECT_EQ(frame.Slider(1).geometry().topLeft(), QPoint(w - 104, h - 160));
        EXPECT_EQ(frame.Slider(2).geometry().topLeft(), QPoint(w - 104, h - 140));
        EXPECT_EQ(frame.ColourPicker().geometry(), QRect(QPoint(w - 152, h - 116), QPoint(w - 17, h - 17)));
        EXPECT_EQ(frame.ZoomBox().geometry(), QRect(QPoint(w - 231, 218), QPoint(w - 166, 237)));
        EXPECT_EQ(frame.CommandButton(cmd::kNewProject)->geometry(), QRect(180, 218, 22, 21));
        EXPECT_EQ(frame.CommandButton(cmd::kSetting)->geometry(), QRect(258, 218, 22, 21));
        EXPECT_EQ(frame.CommandButton(cmd::kUndo)->geometry(), QRect(336, 218, 22, 21));
        EXPECT_EQ(frame.CommandButton(cmd::kDelete)->geometry(), QRect(390, 218, 22, 21));
        EXPECT_EQ(frame.CommandButton(cmd::kSendToBack)->geometry(), QRect(510, 218, 22, 21));
        EXPECT_EQ(frame.CommandButton(cmd::kZoomIn)->geometry(), QRect(w - 283, 218, 22, 21));
        EXPECT_EQ(frame.CommandButton(cmd::kZoomOut)->geometry(), QRect(w - 259, 218, 22, 21));
        EXPECT_EQ(frame.CommandButton(cmd::kFrameTab)->geometry(), QRect(197, 60, 88, 22));
        EXPECT_EQ(frame.CommandButton(cmd::kTextTab)->geometry(), QRect(197 + 5 * 88, 60, 88, 22));
        EXPECT_EQ(frame.CommandButton(cmd::kClose)->geometry(), QRect(w - 38, 5, 24, 14));
        EXPECT_EQ(frame.CommandButton(cmd::kMaximize)->geometry(), QRect(w - 64, 5, 24, 14));
        EXPECT_EQ(frame.CommandButton(cmd::kMinimize)->geometry(), QRect(w - 90, 5, 24, 14));
        // The back buffer follows the size.
        EXPECT_EQ(frame.BackBuffer().deviceIndependentSize().toSize(), size);
    }
}

TEST(MainFrame, EveryCommandIsUniqueRoutedAndReachable)
{
    std::vector<int> ids(cmd::kAllCommands.begin(), cmd::kAllCommands.end());
    std::sort(ids.begin(), ids.end());
    EXPECT_EQ(std::adjacent_find(ids.begin(), ids.end()), ids.end()) << "a command number is listed twice";

    MainFrame frame;
    const std::set<int> keys = {cmd::kOpenFileMenu, cmd::kOpenEditMenu, cmd::kOpenLibraryMenu, cmd::kOpenHelpMenu};
    const MainFrame::MenuId menus[] = {MainFrame::MenuId::File,          MainFrame::MenuId::Edit,
                                       MainFrame::MenuId::Library,       MainFrame::MenuId::Help,
                                       MainFrame::MenuId::CanvasContext, MainFrame::MenuId::PhotoContext,
                                       MainFrame::MenuId::Window};
    for (int id : ids) {
        EXPECT_TRUE(frame.HasCommand(id)) << id << " has no handler";
        bool reachable = frame.CommandButton(id) != nullptr || keys.contains(id) || id == cmd::kZoomBox;
        for (MainFrame::MenuId menu : menus)
            reachable = reachable || frame.MenuAction(menu, id) != nullptr;
        EXPECT_TRUE(reachable) << id << " cannot be reached by a user";
    }
    EXPECT_FALSE(frame.OnCommand(4242));
    EXPECT_FALSE(frame.OnCommand(-1));

    // The effects and the added File entries are in their submenus.
    EXPECT_EQ(frame.MenuAction(MainFrame::MenuId::Edit, kEffectSoften)->text(), QStringLiteral("Soften"));
    EXPECT_EQ(frame.MenuAction(MainFrame::MenuId::Edit, kEffectGaussian5)->text(), QStringLiteral("Soft Blur"));
    EXPECT_EQ(frame.MenuAction(MainFrame::MenuId::File, cmd::kWallpaperTiled)->text(), QStringLiteral("Tiled"));
    EXPECT_EQ(frame.MenuAction(MainFrame::MenuId::File, cmd::kBatchConvert)->text(), QStringLiteral("Batch Convert..."));
}

TEST(MainFrame, EditCommandsFollowTheCanvasState)
{
    MainFrame frame;
    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
    for (std::size_t i = 0; i < std::size(kEditCommands); ++i)
        EXPECT_FALSE(EnabledEverywhere(frame, kEditCommands[i], kEditMenuTwins[i])) << kEditCommands[i];

    AddPhoto(frame, 20);
    AddPhoto(frame, 300); // the top one, selected
    EXPECT_EQ(frame.Canvas().SelectedIndex(), 1);
    EXPECT_TRUE(EnabledEverywhere(frame, cmd::kUndo, cmd::kUndoMenu));
    EXPECT_FALSE(EnabledEverywhere(frame, cmd::kRedo, cmd::kRedoMenu));
    EXPECT_TRUE(EnabledEverywhere(frame, cmd::kDelete, cmd::kDeleteMenu));
    EXPECT_TRUE(EnabledEverywhere(frame, cmd::kCrop, cmd::kCropMenu));
    EXPECT_FALSE(EnabledEverywhere(frame, cmd::kBringForward, cmd::kBringForwardMenu));
    EXPECT_FALSE(EnabledEverywhere(frame, cmd::kBringToFront, cmd::kBringToFrontMenu));
    EXPECT_TRUE(EnabledEverywhere(frame, cmd::kSendBackward, cmd::kSendBackwardMenu));
    EXPECT_TRUE(EnabledEverywhere(frame, cmd::kSendToBack, cmd::kSendToBackMenu));

    // The bottom one selected: the reverse.
    frame.Canvas().Model().SelectOnly(0);
    frame.Canvas().Model().NotifyEditState();
    EXPECT_TRUE(EnabledEverywhere(frame, cmd::kBringForward, cmd::kBringForwardMenu));
    EXPECT_TRUE(EnabledEverywhere(frame, cmd::kBringToFront, cmd::kBringToFrontMenu));
    EXPECT_FALSE(EnabledEverywhere(frame, cmd::kSendBackward, cmd::kSendBackwardMenu));
    EXPECT_FALSE(EnabledEverywhere(frame, cmd::kSendToBack, cmd::kSendToBackMenu));

    // Moving it to the front makes it the top one; undo brings Redo.
    EXPECT_TRUE(frame.OnCommand(cmd::kBringToFrontMenu));
    EXPECT_EQ(frame.Canvas().SelectedIndex(), 1);
    EXPECT_FALSE(EnabledEverywhere(frame, cmd::kBringForward, cmd::kBringForwardMenu));
    EXPECT_TRUE(frame.OnCommand(cmd::kUndo));
    EXPECT_TRUE(EnabledEverywhere(frame, cmd::kRedo, cmd::kRedoMenu));

    // Delete removes the selected item; a disabled command does nothing.
    frame.Canvas().Model().ClearSelection();
    frame.UpdateCommandStates();
    const int before = frame.Canvas().Model().ItemCount();
    frame.OnCommand(cmd::kDeleteMenu);
    EXPECT_EQ(frame.Canvas().Model().ItemCount(), before);
}

TEST(MainFrame, EscapeAndReturnDoNotCloseTheWindowAndReturnReachesTheTextBox)
{
    MainFrame frame;
    auto* box = new QTextEdit; // owned by the text panel's place
    frame.LibraryPanelPlace(MainFrame::Tab::Text).SetContent(box);
    frame.SetTextEditBox(box);
    frame.OnCommand(cmd::kTextTab);
    QTimer::singleShot(0, &frame, [&frame, box] {
        frame.activateWindow();
        frame.Canvas().setFocus();
        QTest::keyClick(&frame.Canvas(), Qt::Key_Escape);
        QTest::keyClick(&frame.Canvas(), Qt::Key_Return);
        QTest::keyClick(&frame, Qt::Key_Escape);
        QTest::keyClick(&frame, Qt::Key_Enter);
        box->setFocus();
        QTest::keyClicks(box, QStringLiteral("one"));
        QTest::keyClick(box, Qt::Key_Return);
        QTest::keyClicks(box, QStringLiteral("two"));
        QTest::keyClick(box, Qt::Key_Escape);
        frame.done(7);
    });
    EXPECT_EQ(frame.exec(), 7);
    EXPECT_EQ(box->toPlainText(), QStringLiteral("one\ntwo"));
}

TEST(MainFrame, CtrlZAndCtrlYWorkWhileALibraryPanelHasTheFocus)
{
    MainFrame frame;
    auto* list = new QListWidget; // owned by the frame panel's place
    list->addItems({QStringLiteral("a"), QStringLiteral("b")});
    frame.LibraryPanelPlace(MainFrame::Tab::Frame).SetContent(list);
    frame.show();
    frame.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&frame));
    AddPhoto(frame, 20);
    AddPhoto(frame, 200);
    list->setFocus();
    ASSERT_TRUE(list->hasFocus());

    QTest::keyClick(list, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(frame.Canvas().Model().ItemCount(), 1);
    QTest::keyClick(list, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(frame.Canvas().Model().ItemCount(), 0);
    QTest::keyClick(list, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(frame.Canvas().Model().ItemCount(), 1);
    EXPECT_TRUE(frame.CommandButton(cmd::kRedo)->isEnabled());
    EXPECT_TRUE(list->hasFocus());
}

TEST(MainFrame, ZoomBoxAndZoomButtons)
{
    MainFrame frame;
    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
    CVelComboBox& box = frame.ZoomBox();
    ASSERT_EQ(box.Count(), 8);
    EXPECT_EQ(box.Text(), QStringLiteral("75%"));
    EXPECT_FLOAT_EQ(frame.Canvas().Model().Zoom(), 0.75f);

    // The list opens on a press and closes on "125%".
    QTest::mouseClick(&box, Qt::LeftButton, {}, QPoint(box.width() - 5, box.height() / 2));
    ASSERT_TRUE(box.DroppedDown());
    box.ChooseLine(4);
    EXPECT_FALSE(box.DroppedDown());
    EXPECT_FLOAT_EQ(frame.Canvas().Model().Zoom(), 1.25f);
    ClickCommand(frame, cmd::kZoomIn);
    ClickCommand(frame, cmd::kZoomIn);
    EXPECT_FLOAT_EQ(frame.Canvas().Model().Zoom(), 1.75f);
    EXPECT_EQ(box.Text(), QStringLiteral("175%"));
    ClickCommand(frame, cmd::kZoomIn);
    EXPECT_FLOAT_EQ(frame.Canvas().Model().Zoom(), 2.0f);
    ClickCommand(frame, cmd::kZoomIn);
    EXPECT_FLOAT_EQ(frame.Canvas().Model().Zoom(), 2.0f);
    EXPECT_EQ(box.Text(), QStringLiteral("200%"));

    box.ChooseLine(1);
    ClickCommand(frame, cmd::kZoomOut);
    EXPECT_FLOAT_EQ(frame.Canvas().Model().Zoom(), 0.25f);
    ClickCommand(frame, cmd::kZoomOut);
    EXPECT_FLOAT_EQ(frame.Canvas().Model().Zoom(), 0.25f);
    EXPECT_EQ(box.Text(), QStringLiteral("25%"));
    EXPECT_EQ(box.GetCurSel(), 0);

    // Nothing chosen: the zoom buttons do nothing.
    box.SetCurSel(-1);
    frame.OnCommand(cmd::kZoomIn);
    frame.OnCommand(cmd::kZoomOut);
    EXPECT_FLOAT_EQ(frame.Canvas().Model().Zoom(), 0.25f);
    EXPECT_EQ(box.GetCurSel(), -1);
}

TEST(MainFrame, PreviewFitsTheCollageAndAPressOrEscapeEndsIt)
{
    MainFrame frame;
    ShowAt(frame, 1000, 700);
    frame.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&frame));
    CanvasWnd& canvas = frame.Canvas();
    ASSERT_TRUE(canvas.SetCanvasSize(2000, 1000));
    AddPhoto(frame, 20);
    const QRect normal = canvas.geometry();

    ClickCommand(frame, cmd::kPreview);
    ASSERT_TRUE(frame.InPreview());
    EXPECT_TRUE(canvas.PreviewMode());
    EXPECT_EQ(canvas.geometry(), QRect(0, 0, 1000, 700));
    EXPECT_FLOAT_EQ(canvas.Model().Zoom(), 0.5f);
    EXPECT_FALSE(frame.CommandButton(cmd::kPreview)->isVisible());
    EXPECT_FALSE(frame.CommandButton(cmd::kClose)->isVisible());
    EXPECT_FALSE(frame.ZoomBox().isVisible());
    EXPECT_FALSE(frame.PhotoLibraryPlace().isVisible());
    // The menus do not open over the preview.
    auto accelerators = EditorApp::BuildAccelerators(frame);
    QTest::keyClick(&canvas, Qt::Key_F, Qt::ControlModifier);
    EXPECT_EQ(frame.OpenMenu(), nullptr);

    // Escape ends it: the zoom box's zoom, the controls and the layout come back.
    QTest::keyClick(&canvas, Qt::Key_Escape);
    EXPECT_FALSE(frame.InPreview());
    EXPECT_FALSE(canvas.PreviewMode());
    EXPECT_FLOAT_EQ(canvas.Model().Zoom(), 0.75f);
    EXPECT_EQ(canvas.geometry(), normal);
    EXPECT_TRUE(frame.CommandButton(cmd::kPreview)->isVisible());
    EXPECT_TRUE(frame.PhotoLibraryPlace().isVisible());
    EXPECT_TRUE(frame.LibraryPanelPlace(MainFrame::Tab::Frame).isVisible());
    EXPECT_FALSE(frame.LibraryPanelPlace(MainFrame::Tab::Shape).isVisible());

    // From the File menu, in a window wide in proportion: fitted by the height. A right
    // press does not end it; a left press does, and the zoom box's "125%" comes back.
    frame.ZoomBox().ChooseLine(4);
    ASSERT_TRUE(canvas.SetCanvasSize(700, 1400));
    frame.MenuAction(MainFrame::MenuId::File, cmd::kPreviewMenu)->trigger();
    ASSERT_TRUE(frame.InPreview());
    EXPECT_FLOAT_EQ(canvas.Model().Zoom(), 0.5f);
    QTest::mouseClick(&canvas, Qt::RightButton, {}, QPoint(400, 300));
    EXPECT_TRUE(frame.InPreview());
    frame.OnContextMenu(canvas.mapToGlobal(QPoint(400, 300)), false);
    EXPECT_EQ(frame.OpenMenu(), nullptr); // no menu over the preview
    const int selected = canvas.SelectedIndex();
    QTest::mouseClick(&canvas, Qt::LeftButton, {}, QPoint(400, 300));
    EXPECT_FALSE(frame.InPreview());
    EXPECT_FLOAT_EQ(canvas.Model().Zoom(), 1.25f);
    EXPECT_EQ(canvas.Model().ItemCount(), 1); // the press edited nothing
    EXPECT_EQ(canvas.SelectedIndex(), selected);

    // Escape ends it wherever the focus is.
    frame.OnCommand(cmd::kPreview);
    frame.setFocus();
    QTest::keyClick(&frame, Qt::Key_Escape);
    EXPECT_FALSE(frame.InPreview());

    // With no zoom chosen the view comes back at 75%.
    frame.OnCommand(cmd::kPreview);
    frame.ZoomBox().SetCurSel(-1);
    frame.OnLeavePreview();
    EXPECT_FLOAT_EQ(canvas.Model().Zoom(), 0.75f);
    // Leaving twice changes nothing.
    frame.OnLeavePreview();
    EXPECT_EQ(canvas.geometry(), normal);
    accelerators.clear();
}

TEST(MainFrame, TabsShowOnePanelOfTheStrip)
{
    MainFrame frame;
    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
    EXPECT_EQ(frame.CurrentTab(), MainFrame::Tab::Frame);
    const struct {
        int command;
        MainFrame::Tab tab;
    } cases[] = {{cmd::kShapeTabMenu, MainFrame::Tab::Shape}, {cmd::kMaskTab, MainFrame::Tab::Mask},
                 {cmd::kClipArtTabMenu, MainFrame::Tab::ClipArt}, {cmd::kTuningTab, MainFrame::Tab::Tuning},
                 {cmd::kTextTabMenu, MainFrame::Tab::Text}, {cmd::kFrameTab, MainFrame::Tab::Frame}};
    const int tabButtons[] = {cmd::kFrameTab, cmd::kShapeTab, cmd::kMaskTab, cmd::kClipArtTab, cmd::kTuningTab,
                              cmd::kTextTab};
    for (const auto& c : cases) {
        frame.OnCommand(c.command);
        EXPECT_EQ(frame.CurrentTab(), c.tab);
        for (int t = 0; t < 6; ++t) {
            const bool chosen = static_cast<MainFrame::Tab>(t) == c.tab;
            EXPECT_EQ(frame.LibraryPanelPlace(static_cast<MainFrame::Tab>(t)).isVisible(), chosen);
            EXPECT_EQ(frame.CommandButton(tabButtons[t])->isChecked(), chosen);
        }
    }
}

TEST(MainFrame, MenusOpenUnderTheirButtonsAndContextMenusAtThePointer)
{
    MainFrame frame;
    auto accelerators = EditorApp::BuildAccelerators(frame);
    frame.show();
    frame.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&frame));

    const struct {
        int key;
        int button;
        MainFrame::MenuId menu;
    } cases[] = {{Qt::Key_F, cmd::kFileMenuButton, MainFrame::MenuId::File},
                 {Qt::Key_E, cmd::kEditMenuButton, MainFrame::MenuId::Edit},
                 {Qt::Key_N, cmd::kLibraryMenuButton, MainFrame::MenuId::Library},
                 {Qt::Key_H, cmd::kHelpMenuButton, MainFrame::MenuId::Help}};
    for (const auto& c : cases) {
        frame.Canvas().setFocus();
        QTest::keyClick(&frame.Canvas(), static_cast<Qt::Key>(c.key), Qt::ControlModifier);
        QMenu* menu = frame.Menu(c.menu);
        ASSERT_EQ(frame.OpenMenu(), menu);
        EXPECT_TRUE(menu->isVisible());
        const QAbstractButton* button = frame.CommandButton(c.button);
        EXPECT_EQ(menu->pos(), button->mapToGlobal(QPoint(0, button->height())));
        menu->close();
    }

    frame.OnContextMenu(QPoint(300, 60), false);
    EXPECT_EQ(frame.OpenMenu(), frame.Menu(MainFrame::MenuId::CanvasContext));
    EXPECT_EQ(frame.OpenMenu()->pos(), QPoint(300, 60));
    frame.OpenMenu()->close();
    frame.OnContextMenu(QPoint(50, 300), true);
    EXPECT_EQ(frame.OpenMenu(), frame.Menu(MainFrame::MenuId::PhotoContext));
    frame.OpenMenu()->close();

    // A menu entry sends its number.
    QSignalSpy commands(&frame, &MainFrame::commandReceived);
    frame.MenuAction(MainFrame::MenuId::Library, cmd::kTuningTabMenu)->trigger();
    ASSERT_EQ(commands.count(), 1);
    EXPECT_EQ(commands.at(0).at(0).toInt(), cmd::kTuningTabMenu);
    EXPECT_EQ(frame.CurrentTab(), MainFrame::Tab::Tuning);
    accelerators.clear();
}

TEST(MainFrame, PropertyBarSetsTheBrushTool)
{
    MainFrame frame;
    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
    const BrushToolSettings& tool = frame.Canvas().Model().ToolSettings();
    // The tool starts with what the bar shows.
    EXPECT_EQ(tool.size, 128);
    EXPECT_EQ(tool.opacity, 255);
    EXPECT_FLOAT_EQ(tool.angle, 0.0f);

    const int size = PressSlider(frame.Slider(0), 50);
    const int opacity = PressSlider(frame.Slider(1), 20);
    const int angle = PressSlider(frame.Slider(2), 8);
    EXPECT_GT(size, 128);
    EXPECT_EQ(tool.size, size);
    EXPECT_EQ(tool.opacity, opacity);
    EXPECT_FLOAT_EQ(tool.angle, static_cast<float>(angle));
    EXPECT_EQ(PressSlider(frame.Slider(0), frame.Slider(0).width() - 1), 256);
    EXPECT_EQ(tool.size, 256);
    EXPECT_FALSE(tool.toolActive);

    ClickCommand(frame, cmd::kBrushSwitch);
    EXPECT_TRUE(frame.ToolActive());
    EXPECT_TRUE(tool.toolActive);
    EXPECT_TRUE(frame.CommandButton(cmd::kBrushSwitch)->isChecked());
    EXPECT_EQ(frame.CommandButton(cmd::kBrushSwitch)->text(), QStringLiteral("Brush: On"));

    // Each brush entry keeps its angle.
    frame.OnBrushEntryChanged(3);
    const int angle3 = PressSlider(frame.Slider(2), 40);
    frame.OnBrushEntryChanged(5);
    PressSlider(frame.Slider(2), 12);
    frame.OnBrushEntryChanged(3);
    EXPECT_EQ(frame.Slider(2).Position(), angle3);
    EXPECT_EQ(tool.entryIndex, 3);
    EXPECT_FLOAT_EQ(tool.angle, static_cast<float>(angle3));

    // A colour chosen in the picker's popup: one box right of black is "Brown".
    CVelColourPicker& picker = frame.ColourPicker();
    EXPECT_EQ(picker.GetColour(), tool.colour);
    QTest::mouseClick(&picker, Qt::LeftButton);
    ColourPopup* popup = picker.Popup();
    ASSERT_NE(popup, nullptr);
    QTest::keyClick(popup, Qt::Key_Right);
    QTest::keyClick(popup, Qt::Key_Return);
    EXPECT_EQ(tool.colour, 0x00002AA5u);
    EXPECT_EQ(picker.GetColour(), 0x00002AA5u);

    // An added item switches the tool off.
    frame.Canvas().Model().NotifyItemAdded();
    EXPECT_FALSE(frame.ToolActive());
    EXPECT_FALSE(frame.CommandButton(cmd::kBrushSwitch)->isChecked());
    EXPECT_EQ(frame.CommandButton(cmd::kBrushSwitch)->text(), QStringLiteral("Brush: Off"));
}

TEST(MainFrame, AnAddedTextGoesIntoTheTextBoxSelected)
{
    MainFrame frame;
    auto* box = new QLineEdit; // owned by the text panel's place
    frame.LibraryPanelPlace(MainFrame::Tab::Text).SetContent(box);
    frame.SetTextEditBox(box);
    frame.show();
    frame.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&frame));
    frame.OnCommand(cmd::kTextTab);
    frame.OnTextBoxChanged(QStringLiteral("Summer 2026"));
    frame.OnAddText(0);
    ASSERT_EQ(frame.Canvas().Model().ItemCount(), 1);
    EXPECT_EQ(box->text(), QStringLiteral("Summer 2026"));
    EXPECT_EQ(box->selectedText(), QStringLiteral("Summer 2026"));
    EXPECT_TRUE(box->hasFocus());
}

TEST(MainFrame, TextBoxTextIsKeptToTheField)
{
    MainFrame frame;
    frame.OnTextBoxChanged(QString(1500, QLatin1Char('w')));
    EXPECT_EQ(frame.TextSettings().text.Bytes().size(), 999);
    EXPECT_EQ(frame.Canvas().Model().CurrentTextSettings().text.Bytes().size(), 999);
    frame.OnTextBoxChanged(QStringLiteral("Hello"));
    EXPECT_EQ(frame.Canvas().Model().CurrentTextSettings().text.Value(), QStringLiteral("Hello"));
}

TEST(MainFrame, HelpOpensTheInstalledGuideAndAboutShowsTheBox)
{
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &catcher, "open");
    MainFrame frame;
    const QString page = MainFrame::HelpPagePath();
    ASSERT_FALSE(page.isEmpty()) << "the user guide is not beside the program";
    frame.OnCommand(cmd::kHelpContent);
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    ASSERT_EQ(catcher.urls.size(), 1);
    EXPECT_EQ(catcher.urls.at(0), QUrl::fromLocalFile(page));
    QFile file(page);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray html = file.readAll();
    EXPECT_TRUE(html.contains("Ctrl</kbd>+<kbd>Z"));
    EXPECT_TRUE(html.contains(".vmz"));

    for (int command : {cmd::kAbout, cmd::kSystemAbout}) {
        bool shown = false;
        WhenModal<AboutBox>([&shown](AboutBox* about) {
            shown = true;
            QTest::mouseClick(about->OkButton(), Qt::LeftButton);
        });
        frame.OnCommand(command);
        EXPECT_TRUE(shown) << command;
    }
}

TEST(MainFrame, BatchConvertOpensTheDialogOverTheWindow)
{
    // The dialog makes its output folder under the documents folder: a home of the test's own.
    QTemporaryDir home;
    const QByteArray oldHome = qgetenv("HOME");
    qputenv("HOME", QFile::encodeName(home.path()));
    MainFrame frame;
    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
    QString caption;
    QWidget* owner = nullptr;
    WhenModal<BatchConvertDialog>([&](BatchConvertDialog* dialog) {
        caption = dialog->windowTitle();
        owner = dialog->parentWidget();
        QTest::mouseClick(dialog->CloseButton(), Qt::LeftButton, {}, QPoint(5, 5));
    });
    QTimer::singleShot(5000, &frame, [] { // a dialog that does not close fails instead of hanging
        if (QWidget* modal = QApplication::activeModalWidget())
            modal->close();
    });
    EXPECT_TRUE(frame.OnCommand(cmd::kBatchConvert));
    EXPECT_EQ(caption, QStringLiteral("Batch Convert"));
    EXPECT_EQ(owner, &frame);
    EXPECT_TRUE(QFileInfo(home.filePath(QStringLiteral("Documents/Montara/Convert"))).isDir());
    qputenv("HOME", oldHome);
}

TEST(MainFrame, CloseWithoutChangesEndsTheRunWithStatusZero)
{
    MainFrame frame;
    QSignalSpy closing(&frame, &MainFrame::aboutToClose);
    QTimer::singleShot(0, &frame, [&frame] { ClickCommand(frame, cmd::kClose); });
    QTimer::singleShot(5000, &frame, [&frame] { frame.done(99); }); // a broken Close fails instead of hanging
    EXPECT_EQ(frame.exec(), 0);
    EXPECT_EQ(closing.count(), 1);
}

TEST(MainFrame, ClosingModifiedWorkAsksFirst)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    MainFrame frame;
    AddPhoto(frame, 20);
    ASSERT_TRUE(frame.Canvas().Model().Modified());
    QSignalSpy closing(&frame, &MainFrame::aboutToClose);
    QStringList asked;

    // Cancel keeps the window; Yes with a cancelled save keeps it; Yes with a name saves
    // and closes.
    QTimer::singleShot(0, &frame, [&] {
        WhenModal<QMessageBox>([&](QMessageBox* box) {
            asked << box->text();
            EXPECT_EQ(box->windowTitle(), QStringLiteral("Montara"));
            box->button(QMessageBox::Cancel)->click();
        });
        frame.OnCommand(cmd::kExit);
        QTimer::singleShot(300, &frame, [&] {
            EXPECT_TRUE(frame.isVisible());
            WhenModal<QMessageBox>([&](QMessageBox* box) {
                WhenModal<QFileDialog>([](QFileDialog* dialog) { dialog->reject(); });
                box->button(QMessageBox::Yes)->click();
            });
            frame.OnCommand(cmd::kClose);
            QTimer::singleShot(600, &frame, [&] {
                EXPECT_TRUE(frame.isVisible());
                WhenModal<QMessageBox>([&](QMessageBox* box) {
                    WhenModal<QFileDialog>([&](QFileDialog* dialog) {
                        EXPECT_EQ(dialog->defaultSuffix(), QStringLiteral("vmz"));
                        // The name typed into the name box (selectFile leaves a focused box alone).
                        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
                        ASSERT_NE(name, nullptr);
                        name->setText(dir.filePath(QStringLiteral("kept")));
                        QMetaObject::invokeMethod(dialog, "accept");
                    });
                    box->button(QMessageBox::Yes)->click();
                });
                frame.close();
            });
        });
    });
    QTimer::singleShot(10000, &frame, [&frame] { frame.done(99); });
    EXPECT_EQ(frame.exec(), 0);
    EXPECT_EQ(asked.value(0), QStringLiteral("Project has been modified, Do you want to save it?"));
    EXPECT_EQ(closing.count(), 1);
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("kept.vmz"))));
    EXPECT_FALSE(frame.Canvas().Model().Modified());
}

TEST(MainFrame, NoClosesModifiedWorkWithoutSaving)
{
    MainFrame frame;
    AddPhoto(frame, 20);
    QTimer::singleShot(0, &frame, [&frame] {
        WhenModal<QMessageBox>([](QMessageBox* box) { box->button(QMessageBox::No)->click(); });
        frame.close();
    });
    QTimer::singleShot(5000, &frame, [&frame] { frame.done(99); });
    EXPECT_EQ(frame.exec(), 0);
    EXPECT_TRUE(frame.Canvas().Model().Modified());
}

TEST(Accelerators, ReachOnCommandFromAFocusedChild)
{
    MainFrame frame;
    auto* edit = new QLineEdit(&frame); // owned by the frame
    edit->setGeometry(100, 100, 200, 24);
    auto accelerators = EditorApp::BuildAccelerators(frame);
    ASSERT_EQ(accelerators.size(), 4u);

    frame.show();
    frame.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&frame));
    edit->setFocus();
    ASSERT_TRUE(edit->hasFocus());

    QSignalSpy commands(&frame, &MainFrame::commandReceived);
    QTest::keyClick(edit, Qt::Key_F, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_E, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_N, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_H, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_G, Qt::ControlModifier); // not an accelerator
    if (frame.OpenMenu())
        frame.OpenMenu()->close();
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_F); // no Ctrl: typed into the box

    ASSERT_EQ(commands.count(), 4);
    EXPECT_EQ(commands.at(0).at(0).toInt(), 11007);
    EXPECT_EQ(commands.at(1).at(0).toInt(), 11008);
    EXPECT_EQ(commands.at(2).at(0).toInt(), 11009);
    EXPECT_EQ(commands.at(3).at(0).toInt(), 11011);
    EXPECT_EQ(edit->text(), QStringLiteral("f"));
    accelerators.clear();
}

namespace {

// A photo of its own: a sky gradient, a sun and hills, so that items are told apart.
QString WritePhoto(const QTemporaryDir& dir, const QString& name, QColor sky, QColor hill)
{
    QImage picture(480, 360, QImage::Format_RGB32);
    QPainter p(&picture);
    QLinearGradient gradient(0, 0, 0, 360);
    gradient.setColorAt(0, sky.lighter(140));
    gradient.setColorAt(1, sky);
    p.fillRect(picture.rect(), gradient);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(255, 214, 80));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPoint(360, 90), 45, 45);
    p.setBrush(hill);
    p.drawEllipse(QRect(-120, 220, 460, 300));
    p.setBrush(hill.darker(130));
    p.drawEllipse(QRect(180, 250, 460, 300));
    p.end();
    const QString path = dir.filePath(name);
    picture.save(path);
    return path;
}

// Screenshots under a real X server go to MONTARA_SHOT_DIR when it is set.
void Shoot(const QString& name)
{
    const QString folder = qEnvironmentVariable("MONTARA_SHOT_DIR");
    if (folder.isEmpty() || QGuiApplication::platformName() != QLatin1String("xcb"))
        return;
    QTest::qWait(300);
    QProcess::execute(QStringLiteral("import"), {QStringLiteral("-window"), QStringLiteral("root"),
                                                 folder + QLatin1Char('/') + name + QStringLiteral(".png")});
}

} // namespace

TEST(MainFrameScreenshot, WholeWindowWithACollage)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    LanguageTable table;
    SetLanguageTableOwner(&table);
    MainFrame frame;
    auto accelerators = EditorApp::BuildAccelerators(frame);
    if (QGuiApplication::platformName() == QLatin1String("xcb"))
        frame.show(); // placed as the program places itself
    else
        ShowAt(frame, 1600, 960);
    frame.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));

    CanvasWnd& canvas = frame.Canvas();
    canvas.SetCanvasSize(1000, 700);
    ASSERT_TRUE(canvas.AddPhoto(WritePhoto(dir, QStringLiteral("a.png"), QColor(70, 130, 200), QColor(60, 150, 70)),
                                480, 360, 90, 110));
    ASSERT_TRUE(canvas.AddPhoto(WritePhoto(dir, QStringLiteral("b.png"), QColor(220, 120, 80), QColor(120, 90, 60)),
                                480, 360, 420, 260));
    ASSERT_TRUE(canvas.AddPhoto(WritePhoto(dir, QStringLiteral("c.png"), QColor(120, 80, 170), QColor(40, 110, 120)),
                                480, 360, 250, 160));
    frame.UpdateCommandStates();
    QTest::qWait(100);

    // The photos are on the canvas: its picture is not one flat colour.
    const QImage shot = canvas.grab().toImage();
    std::set<QRgb> colours;
    for (int y = 0; y < shot.height(); y += 7)
        for (int x = 0; x < shot.width(); x += 7)
            colours.insert(shot.pixel(x, y));
    EXPECT_GT(colours.size(), 20u);
    Shoot(QStringLiteral("mainframe"));

    const struct {
        int key;
        const char* name;
    } menus[] = {{Qt::Key_F, "menu-file"}, {Qt::Key_E, "menu-edit"}, {Qt::Key_N, "menu-library"},
                 {Qt::Key_H, "menu-help"}};
    for (const auto& m : menus) {
        QTest::keyClick(&canvas, static_cast<Qt::Key>(m.key), Qt::ControlModifier);
        ASSERT_TRUE(frame.OpenMenu());
        EXPECT_TRUE(frame.OpenMenu()->isVisible());
        Shoot(QString::fromLatin1(m.name));
        frame.OpenMenu()->close();
    }
    frame.OnContextMenu(canvas.mapToGlobal(QPoint(300, 200)), false);
    Shoot(QStringLiteral("menu-canvas"));
    frame.OpenMenu()->close();

    // The zoom box's list, opened by a press on the box.
    CVelComboBox& zoom = frame.ZoomBox();
    QTest::mouseClick(&zoom, Qt::LeftButton, {}, QPoint(zoom.width() - 5, zoom.height() / 2));
    EXPECT_TRUE(zoom.DroppedDown());
    Shoot(QStringLiteral("zoom-box"));
    zoom.ShowDropDown(false);

    // The preview: the collage alone, fitted to the window.
    frame.OnCommand(cmd::kPreview);
    EXPECT_TRUE(frame.InPreview());
    Shoot(QStringLiteral("preview"));
    QTest::keyClick(&canvas, Qt::Key_Escape);
    EXPECT_FALSE(frame.InPreview());
    accelerators.clear();
    SetLanguageTableOwner(nullptr);
}

#include "MainFrameTest.moc"
