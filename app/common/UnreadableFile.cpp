#include "app/common/UnreadableFile.h"

#include <QFile>
#include <QFileInfo>

namespace {

// Enough to tell text from UTF-16 or binary without reading a large file twice.
constexpr qint64 kSniffBytes = 64 * 1024;

} // namespace

std::optional<QString> whyUnreadable(const QString& file)
{
    const QFileInfo info(file);
    if (!info.exists() && !info.isSymLink())
        return std::nullopt;
    if (info.isDir())
        return QStringLiteral("it is a folder");
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly))
        return in.errorString();
    const QByteArray head = in.read(kSniffBytes);
    if (head.startsWith("\xFF\xFE") || head.startsWith("\xFE\xFF"))
        return QStringLiteral("it is stored as UTF-16, not as UTF-8 text");
    // Our text files never hold a NUL byte; UTF-16 without a byte-order mark and
    // binary files nearly always do.
    if (head.contains('\0'))
        return QStringLiteral("it is not a text file");
    return std::nullopt;
}

QString unreadableFileMessage(const QString& file, const QString& reason)
{
    return QStringLiteral("%1 could not be read (%2). It is left as it is, and changes to what it holds "
                          "are not saved this time.")
        .arg(file, reason);
}
