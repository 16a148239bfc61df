#include <QProcess>

#include <gtest/gtest.h>

namespace {

struct ToolRun {
    int status;
    QByteArray out;
    QByteArray err;
};

ToolRun RunTool(const QStringList& args)
{
    QProcess process;
    process.start(QStringLiteral(MONTARA_TOOL), args);
    process.waitForFinished(30000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardOutput(), process.readAllStandardError()};
}

} // namespace

TEST(MontaraTool, HelpAndVersionSucceed)
{
    const ToolRun help = RunTool({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.startsWith("usage: montara-tool")) << help.out.constData();

    const ToolRun version = RunTool({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_TRUE(version.out.startsWith("montara-tool ")) << version.out.constData();
}

TEST(MontaraTool, BadUsageExitsWithTwoAndOneLine)
{
    for (const QStringList& args : {QStringList{}, QStringList{"no-such-command"}}) {
        const ToolRun run = RunTool(args);
        EXPECT_EQ(run.status, 2);
        EXPECT_TRUE(run.err.startsWith("montara-tool: ")) << run.err.constData();
        EXPECT_EQ(run.err.count('\n'), 1);
    }
}
