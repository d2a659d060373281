#pragma once
// Where the program keeps its files.

#include <QString>

namespace AppPaths {

// The program folder: the registry value "AppPath", else the program file's folder.
// When that folder cannot be written (an installed program), the per-user data folder
// $XDG_DATA_HOME/vorlix is used instead, created and seeded with the supplied data
// files on first use. Never ends with a separator.
QString resolveAppPath(const QString& registryValue, const QString& programFolder, const QString& dataRoot);

// The supplied data files copied into a new program folder.
QStringList suppliedFiles();

} // namespace AppPaths
