#pragma once

// The text a menu shows for a keyboard shortcut: "Ctrl+" when Control is held, then "Shift+",
// then "Alt+", always in that order and with nothing between them, then the key's name as
// the keyboard layout spells it (Qt's native text: "Z", "F4", "Del"). The Esc key has no
// name: Esc alone gives an empty text. No display is needed.

#include <QKeyCombination>
#include <QKeySequence>
#include <QString>

QString ShortcutText(QKeyCombination key);
// The first key of the sequence; an empty sequence gives an empty text.
QString ShortcutText(const QKeySequence& sequence);
