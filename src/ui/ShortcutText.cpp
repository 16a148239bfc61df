#include "ui/ShortcutText.h"

QString ShortcutText(QKeyCombination key)
{
    QString text;
    const Qt::KeyboardModifiers mods = key.keyboardModifiers();
    if (mods & Qt::ControlModifier)
        text += QStringLiteral("Ctrl+");
    if (mods & Qt::ShiftModifier)
        text += QStringLiteral("Shift+");
    if (mods & Qt::AltModifier)
        text += QStringLiteral("Alt+");
    const Qt::Key k = key.key();
    if (k != Qt::Key_Escape && k != Qt::Key_unknown && k != 0)
        text += QKeySequence(QKeyCombination(k)).toString(QKeySequence::NativeText);
    return text;
}

QString ShortcutText(const QKeySequence& sequence)
{
    return sequence.isEmpty() ? QString() : ShortcutText(sequence[0]);
}
