#pragma once
// The program's name, version and the maker's addresses.

#include <QString>

namespace AppInfo {

inline const QString kTitle = QStringLiteral("Vorlix");
inline constexpr int kMajor = 1;
inline constexpr int kMinor = 0;
inline const QString kSupportUrl = QStringLiteral("https://vorlix.org/support");
inline const QString kSupportEmail = QStringLiteral("support@vorlix.org");

// "Vorlix 1.0": the main window's caption once it has loaded.
inline QString caption()
{
    return QStringLiteral("%1 %2.%3").arg(kTitle).arg(kMajor).arg(kMinor);
}

inline QString version()
{
    return QStringLiteral("%1.%2").arg(kMajor).arg(kMinor);
}

// The shell's images live in a resource file of a static library, which the linker
// would drop unless something refers to it.
void initResources();

} // namespace AppInfo
