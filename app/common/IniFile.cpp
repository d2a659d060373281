#include "app/common/IniFile.h"

#include "platform/profile/PrivateProfile.h"

#include <QFile>

namespace {

// The callers' buffer holds kProfileBufferSize - 1 characters; in UTF-8 one character of
// the basic plane takes up to three bytes (a surrogate pair, four for two characters).
constexpr int kUtf8BufferSize = 3 * (kProfileBufferSize - 1) + 1;

std::filesystem::path pathOf(const QString& file)
{
    return std::filesystem::path(QFile::encodeName(file).toStdString());
}

std::string bytesOf(const QString& text)
{
    return text.toUtf8().toStdString();
}

} // namespace

QString ReadIniString(const QString& section, const QString& key, const QString& defaultValue, const QString& file)
{
    std::string out;
    const int length = GetPrivateProfileString(bytesOf(section), bytesOf(key), bytesOf(defaultValue), out,
                                               kUtf8BufferSize, pathOf(file));
    if (length <= 0)
        return defaultValue;
    QString value = QString::fromUtf8(out.data(), qsizetype(out.size()));
    qsizetype keep = kProfileBufferSize - 1;
    if (value.size() > keep) {
        if (value[keep - 1].isHighSurrogate())
            --keep;
        value.truncate(keep);
    }
    return value;
}

bool WriteIniString(const QString& section, const std::optional<QString>& key, const std::optional<QString>& value,
                    const QString& file)
{
    const std::optional<std::string> keyBytes = key ? std::optional(bytesOf(*key)) : std::nullopt;
    const std::optional<std::string> valueBytes = value ? std::optional(bytesOf(*value)) : std::nullopt;
    return WritePrivateProfileString(bytesOf(section), keyBytes ? std::optional<std::string_view>(*keyBytes) : std::nullopt,
                                     valueBytes ? std::optional<std::string_view>(*valueBytes) : std::nullopt, pathOf(file));
}
