#pragma once

#include <QString>

// Where the program keeps its own files (library files, the photo library list,
// the language file). The folder is "<folder of the executable>/Data/" so that a
// copied program carries its data with it. When that folder cannot be created or
// written (an installed binary under /usr/bin), the per-user data location is used
// instead. The result always ends in "/" so that file names are appended directly.
QString DataFolder();

// The same rule for an explicit executable folder (no trailing "/").
QString DataFolderFor(const QString& moduleFolder);

// The folder of the running executable, without a trailing "/".
QString ModuleFolder();
