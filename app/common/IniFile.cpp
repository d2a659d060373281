#include "app/common/IniFile.h"

#include "platform/profile/AtomicFile.h"
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

QString fromProfileBytes(const std::string& out, int length, const QString& defaultValue)
{
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

} // namespace

QString ReadIniString(const QString& section, const QString& key, const QString& defaultValue, const QString& file)
{
    return IniReader(file).readString(section, key, defaultValue);
}

IniReader::IniReader(const QString& file) : m_snapshot(pathOf(file)) {}

QString IniReader::readString(const QString& section, const QString& key, const QString& defaultValue) const
{
    std::string out;
    const int length = m_snapshot.getString(bytesOf(section), bytesOf(key), bytesOf(defaultValue), out, kUtf8BufferSize);
    return fromProfileBytes(out, length, defaultValue);
}

int IniReader::readInt(const QString& section, const QString& key, int defaultValue) const
{
    return m_snapshot.getInt(bytesOf(section), bytesOf(key), defaultValue);
}

void IniEdit::write(const QString& section, const QString& key, const QString& value)
{
    m_edit.write(bytesOf(section), bytesOf(key), bytesOf(value));
}

void IniEdit::deleteSection(const QString& section)
{
    m_edit.deleteSection(bytesOf(section));
}

Result<void> IniEdit::commit(const QString& file) const
{
    std::string why;
    if (!CommitPrivateProfileEdit(m_edit, pathOf(file), &why))
        return Error{QString::fromStdString(why)};
    return {};
}

bool WriteIniString(const QString& section, const std::optional<QString>& key, const std::optional<QString>& value,
                    const QString& file)
{
    const std::optional<std::string> keyBytes = key ? std::optional(bytesOf(*key)) : std::nullopt;
    const std::optional<std::string> valueBytes = value ? std::optional(bytesOf(*value)) : std::nullopt;
    return WritePrivateProfileString(bytesOf(section), keyBytes ? std::optional<std::string_view>(*keyBytes) : std::nullopt,
                                     valueBytes ? std::optional<std::string_view>(*valueBytes) : std::nullopt, pathOf(file));
}

Result<void> ReplaceFileAtomically(const QString& file, const QByteArray& bytes)
{
    std::string why;
    const std::optional<std::filesystem::path> target = profile::resolveLinks(pathOf(file));
    if (!target)
        return Error{file + QStringLiteral(": the link points nowhere")};
    if (!profile::replaceFileAtomically(*target, std::string_view(bytes.constData(), size_t(bytes.size())), &why))
        return Error{QString::fromStdString(why)};
    return {};
}

QString StoredIniValue(const QString& value)
{
    if (value.isEmpty())
        return value;
    const auto isBlank = [](QChar c) { return c == u' ' || c == u'\t'; };
    const QChar first = value.front();
    const bool quoted = value.size() >= 2 && (first == u'"' || first == u'\'') && value.back() == first;
    if (quoted || isBlank(first) || isBlank(value.back()))
        return QLatin1Char('"') + value + QLatin1Char('"');
    return value;
}
