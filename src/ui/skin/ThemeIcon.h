#pragma once

// Icons of the tool bar, the menus and the buttons by their freedesktop names ("document-new",
// "document-open", "document-save-as", "configure", "document-preview", "document-export",
// "edit-undo", "edit-redo", "edit-delete", "transform-crop", "zoom-in", "zoom-out", ...).
//
// The program uses the Breeze theme when it is installed (Debian's breeze-icon-theme), so the
// icons look the same on every desktop; without it, the desktop's own theme. A name that the
// theme does not have gives a plain glyph drawn here (a page, a folder, a disk, arrows, a
// magnifier, a cross, or a framed initial), never an empty icon.

#include <QIcon>
#include <QString>

namespace skin {

// Chooses the program's icon theme; called by ThemeIcon on first use. True when the chosen
// theme is found on disk.
bool UseProgramIconTheme();

QIcon ThemeIcon(const QString& name);

// The drawn glyph alone (what ThemeIcon falls back to).
QIcon GlyphIcon(const QString& name);

} // namespace skin
