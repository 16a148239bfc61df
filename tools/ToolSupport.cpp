#include "ToolSupport.h"

#include <cstdio>

namespace tool {

int Usage(const QString& message)
{
    std::fprintf(stderr, "montara-tool: %s\n", message.toUtf8().constData());
    return kUsage;
}

int Failure(const QString& message)
{
    std::fprintf(stderr, "montara-tool: %s\n", message.toUtf8().constData());
    return kFailure;
}

void Print(const QString& line)
{
    std::fprintf(stdout, "%s\n", line.toUtf8().constData());
}

bool TakeOption(QStringList& args, const QString& name, QString& value, QString& error)
{
    const qsizetype at = args.indexOf(name);
    if (at < 0)
        return false;
    if (at + 1 >= args.size()) {
        error = name + QStringLiteral(" needs a value");
        args.removeAt(at);
        return false;
    }
    value = args.at(at + 1);
    args.remove(at, 2);
    return true;
}

bool TakeFlag(QStringList& args, const QString& name)
{
    return args.removeAll(name) > 0;
}

} // namespace tool
