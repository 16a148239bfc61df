// Real starts of the built editor on the offscreen platform. Each test runs with its
// own temporary folder, where the instance lock and socket live, so that it neither
// sees nor disturbs an editor the developer has open.

#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <csignal>

namespace {

class EditorProcesses : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(tmp.isValid());
        env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("TMPDIR", tmp.path());
        env.insert("QT_LOGGING_RULES", "montara.instance.info=true");
    }

    void TearDown() override
    {
        for (auto& process : processes) {
            if (process->state() != QProcess::NotRunning) {
                process->kill();
                process->waitForFinished(2000);
            }
        }
    }

    QProcess& Start()
    {
        auto process = std::make_unique<QProcess>();
        process->setProcessEnvironment(env);
        process->setProcessChannelMode(QProcess::SeparateChannels);
        process->start(QStringLiteral(MONTARA_EXE), {});
        processes.push_back(std::move(process));
        return *processes.back();
    }

    // Waits until the process has written `text` to stderr; keeps what it read.
    static bool WaitForLog(QProcess& process, QByteArray& log, const QByteArray& text, int ms)
    {
        QElapsedTimer timer;
        timer.start();
        while (!log.contains(text) && timer.elapsed() < ms) {
            process.waitForReadyRead(50);
            log += process.readAllStandardError();
            if (process.state() == QProcess::NotRunning) {
                log += process.readAllStandardError();
                break;
            }
        }
        return log.contains(text);
    }

    QTemporaryDir tmp;
    QProcessEnvironment env;
    std::vector<std::unique_ptr<QProcess>> processes;
};

} // namespace

TEST_F(EditorProcesses, SecondStartRaisesTheFirstAndExitsAtOnce)
{
    QProcess& first = Start();
    ASSERT_TRUE(first.waitForStarted(5000));
    QByteArray firstLog;
    ASSERT_TRUE(WaitForLog(first, firstLog, "listening", 10000)) << firstLog.constData();

    QProcess& second = Start();
    QElapsedTimer timer;
    timer.start();
    ASSERT_TRUE(second.waitForFinished(2000)) << "the second start did not exit within 2 s";
    EXPECT_LT(timer.elapsed(), 2000);
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_FALSE(second.readAllStandardError().contains("listening"));

    EXPECT_TRUE(WaitForLog(first, firstLog, "show requested", 3000)) << firstLog.constData();
    EXPECT_EQ(first.state(), QProcess::Running);
}

TEST_F(EditorProcesses, StartAfterACrashedInstanceStillWorks)
{
    QProcess& crashed = Start();
    QByteArray log;
    ASSERT_TRUE(WaitForLog(crashed, log, "listening", 10000)) << log.constData();
    ::kill(static_cast<pid_t>(crashed.processId()), SIGKILL);
    ASSERT_TRUE(crashed.waitForFinished(3000));

    // Lock file and socket of the dead instance are still there.
    QProcess& next = Start();
    QByteArray nextLog;
    EXPECT_TRUE(WaitForLog(next, nextLog, "listening", 10000)) << nextLog.constData();
    EXPECT_EQ(next.state(), QProcess::Running);

    // And it is the running instance now: a further start hands over to it.
    QProcess& third = Start();
    ASSERT_TRUE(third.waitForFinished(2000));
    EXPECT_EQ(third.exitCode(), 0);
    EXPECT_TRUE(WaitForLog(next, nextLog, "show requested", 3000)) << nextLog.constData();
}
