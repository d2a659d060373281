#include "app/shell/AppPaths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>

namespace {

QString withoutTrailingSeparator(QString path)
{
    while (path.size() > 1 && path.endsWith(u'/'))
        path.chop(1);
    return path;
}

bool isWritableFolder(const QString& path)
{
    const QFileInfo info(path);
    return info.isDir() && info.isWritable();
}

// A copy that keeps its data beside the program (the build tree, an unpacked folder) has
// the supplied files there; an installed bin/ never does, even where root may write it.
bool holdsSuppliedFiles(const QString& folder)
{
    const QDir dir(folder);
    const QStringList names = AppPaths::suppliedFiles();
    return std::any_of(names.begin(), names.end(), [&](const QString& name) { return dir.exists(name); });
}

} // namespace

namespace AppPaths {

QStringList suppliedFiles()
{
    return {QStringLiteral("VoiceCommands.INI"), QStringLiteral("VORLIXHelp.dat")};
}

QString resolveAppPath(const QString& registryValue, const QString& programFolder, const QString& dataRoot)
{
    if (!registryValue.isEmpty())
        return withoutTrailingSeparator(registryValue);
    if (isWritableFolder(programFolder) && holdsSuppliedFiles(programFolder))
        return withoutTrailingSeparator(programFolder);

    const QString perUser = QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
                                .filePath(QStringLiteral("vorlix"));
    QDir().mkpath(perUser);
    // A missing file is seeded again; QFile::copy never overwrites the user's own.
    for (const QString& name : suppliedFiles())
        QFile::copy(QDir(dataRoot).filePath(name), QDir(perUser).filePath(name));
    return withoutTrailingSeparator(perUser);
}

} // namespace AppPaths
