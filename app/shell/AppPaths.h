#pragma once
// Where the program keeps its files.

#include <QString>

namespace AppPaths {

// The program folder: the registry value "AppPath", else the program file's folder when
// it can be written and holds the supplied data files. Otherwise (an installed program,
// whose bin/ holds no data) the per-user data folder $XDG_DATA_HOME/vorlix, created and
// seeded with any supplied file it lacks. Never ends with a separator.
QString resolveAppPath(const QString& registryValue, const QString& programFolder, const QString& dataRoot);

// The supplied data files copied into a new program folder.
QStringList suppliedFiles();

} // namespace AppPaths
