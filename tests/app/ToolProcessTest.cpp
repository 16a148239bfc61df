#include <QProcess>

#include "support/ToolRun.h"

#include <gtest/gtest.h>

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
