#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// montara-tool: exit status 0 on success, 1 on failure, 2 on bad usage, each failure
// with one line on stderr.
namespace tool {

constexpr int kOk = 0;
constexpr int kFailure = 1;
constexpr int kUsage = 2;

int Usage(const QString& message);   // prints "montara-tool: message" and returns kUsage
int Failure(const QString& message); // prints "montara-tool: message" and returns kFailure
void Print(const QString& line);     // one line on stdout

// Options of the form --name VALUE. Takes the value out of args; false when the
// option is missing (value untouched) or has no value (error set).
bool TakeOption(QStringList& args, const QString& name, QString& value, QString& error);
bool TakeFlag(QStringList& args, const QString& name);

struct Command {
    const char* name;
    const char* synopsis; // shown by --help
    std::function<int(QStringList args)> run;
};

} // namespace tool
