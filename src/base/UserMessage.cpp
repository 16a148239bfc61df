#include "base/UserMessage.h"

#include <cstdio>
#include <utility>

namespace {

void PrintToStderr(MessageKind kind, const QString& text)
{
    const char* title = kind == MessageKind::JpegFatal ? "JPEG Fatal Error" : "Montara";
    std::fprintf(stderr, "%s: %s\n", title, text.toUtf8().constData());
}

MessageHandler& CurrentHandler()
{
    static MessageHandler handler = PrintToStderr;
    return handler;
}

} // namespace

void ShowUserMessage(const QString& text, MessageKind kind)
{
    CurrentHandler()(kind, text);
}

MessageHandler SetMessageHandler(MessageHandler handler)
{
    if (!handler)
        handler = PrintToStderr;
    return std::exchange(CurrentHandler(), std::move(handler));
}
