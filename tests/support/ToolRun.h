#pragma once

// Runs the built montara-tool as a real process and keeps what it printed.

#include <QProcess>
#include <QStringList>

struct ToolRun {
    int status; // exit code, or -1 when the process crashed or timed out
    QByteArray out;
    QByteArray err;
};

inline ToolRun RunTool(const QStringList& args, int timeoutMs = 60000)
{
    QProcess process;
    process.start(QStringLiteral(MONTARA_TOOL), args);
    const bool finished = process.waitForFinished(timeoutMs);
    return {finished && process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardOutput(), process.readAllStandardError()};
}
