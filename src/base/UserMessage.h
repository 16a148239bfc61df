#pragma once

#include <QString>

#include <functional>

// Every message the program shows to the user goes through here. The editor installs
// a handler that shows a message box titled "Montara"; headless programs (montara-tool,
// tests, benchmarks) keep the default, which prints the text to stderr.
enum class MessageKind {
    Information, // title "Montara", information icon
    JpegFatal,   // title "JPEG Fatal Error", error icon
};

using MessageHandler = std::function<void(MessageKind, const QString& text)>;

void ShowUserMessage(const QString& text, MessageKind kind = MessageKind::Information);

// Installs a handler and returns the previous one (tests restore it).
MessageHandler SetMessageHandler(MessageHandler handler);
