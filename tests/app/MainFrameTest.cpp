#include "app/EditorApp.h"
#include "app/LanguageTable.h"
#include "app/MainFrame.h"
#include "app/SingleInstance.h"

#include <QFile>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

TEST(MainFrame, OpensFramelessAtTheTopLeftWithScreenWidth)
{
    MainFrame frame;
    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));

    const QScreen* screen = QGuiApplication::primaryScreen();
    EXPECT_EQ(frame.pos(), QPoint(0, 0));
    EXPECT_EQ(frame.width(), screen->geometry().width());
    EXPECT_EQ(frame.height(), screen->availableGeometry().height() - 10);
    EXPECT_TRUE(frame.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(frame.windowTitle(), QStringLiteral("Montara"));
    EXPECT_EQ(frame.property(SingleInstance::kInstanceMarker).toInt(), 1);
}

TEST(MainFrame, CaptionTextComesFromTheLanguageTable)
{
    {
        MainFrame frame; // no application object: no table, an empty caption
        EXPECT_TRUE(frame.CaptionText().isEmpty());
    }
    LanguageTable table;
    SetLanguageTableOwner(&table);
    {
        MainFrame frame;
        EXPECT_TRUE(table);
        EXPECT_EQ(frame.CaptionText(), QStringLiteral("Montara"));
        EXPECT_EQ(frame.windowTitle(), QStringLiteral("Montara"));
    }
    SetLanguageTableOwner(nullptr);
    // Every resource reaches a program that links the window code.
    EXPECT_TRUE(QFile::exists(QStringLiteral(":/icons/montara.png")));
}

TEST(MainFrame, CaptionButtonsSitAtTheTopRight)
{
    MainFrame frame;
    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
    frame.resize(1000, 700);
    QTRY_COMPARE_WITH_TIMEOUT(frame.width(), 1000, 2000);
    QPushButton* close = frame.CommandButton(MainFrame::kCmdClose);
    QPushButton* maximize = frame.CommandButton(MainFrame::kCmdMaximize);
    QPushButton* minimize = frame.CommandButton(MainFrame::kCmdMinimize);
    ASSERT_TRUE(close && maximize && minimize);
    EXPECT_EQ(close->geometry(), QRect(1000 - 38, 5, 24, 14));
    EXPECT_EQ(maximize->geometry(), QRect(1000 - 38 - 26, 5, 24, 14));
    EXPECT_EQ(minimize->geometry(), QRect(1000 - 38 - 52, 5, 24, 14));
    EXPECT_EQ(frame.CommandButton(12345), nullptr);
}

TEST(MainFrame, CloseButtonEndsTheModalRunWithStatusZero)
{
    MainFrame frame;
    QSignalSpy commands(&frame, &MainFrame::commandReceived);
    QTimer::singleShot(0, &frame, [&frame] {
        QTest::mouseClick(frame.CommandButton(MainFrame::kCmdClose), Qt::LeftButton);
    });
    // A watchdog so that a broken Close fails the test instead of hanging it.
    QTimer::singleShot(5000, &frame, [&frame] { frame.done(99); });
    EXPECT_EQ(frame.exec(), 0);
    ASSERT_EQ(commands.count(), 1);
    EXPECT_EQ(commands.at(0).at(0).toInt(), 10010);
}

TEST(MainFrame, EscapeAndReturnDoNotCloseTheWindow)
{
    MainFrame frame;
    QTimer::singleShot(0, &frame, [&frame] {
        QTest::keyClick(&frame, Qt::Key_Escape);
        QTest::keyClick(&frame, Qt::Key_Return);
        frame.done(7);
    });
    EXPECT_EQ(frame.exec(), 7);
}

TEST(MainFrame, UnknownCommandsDoNothing)
{
    MainFrame frame;
    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
    frame.OnCommand(4242);
    frame.OnCommand(-1);
    EXPECT_TRUE(frame.isVisible());
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
    QTest::keyClick(edit, Qt::Key_F);                      // no Ctrl: typed into the box

    ASSERT_EQ(commands.count(), 4);
    EXPECT_EQ(commands.at(0).at(0).toInt(), 11007);
    EXPECT_EQ(commands.at(1).at(0).toInt(), 11008);
    EXPECT_EQ(commands.at(2).at(0).toInt(), 11009);
    EXPECT_EQ(commands.at(3).at(0).toInt(), 11011);
    EXPECT_EQ(edit->text(), QStringLiteral("f"));
    accelerators.clear();
}
