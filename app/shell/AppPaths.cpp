#include "app/shell/AppPaths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

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
    if (isWritableFolder(programFolder))
        return withoutTrailingSeparator(programFolder);

    const QString perUser = QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
                                .filePath(QStringLiteral("vorlix"));
    if (!QFileInfo::exists(perUser)) {
        QDir().mkpath(perUser);
        for (const QString& name : suppliedFiles())
            QFile::copy(QDir(dataRoot).filePath(name), QDir(perUser).filePath(name));
    }
    return withoutTrailingSeparator(perUser);
}

} // namespace AppPaths
