#include "app/macros/CMacro.h"

#include "app/character/CharacterSpeech.h"
#include "app/common/Conversions.h"
#include "platform/desktop/Clipboard.h"
#include "platform/desktop/KeySender.h"
#include "platform/profile/AtomicFile.h"

#include <QFile>

#include <filesystem>
#include <system_error>

namespace {

const QString kLineEnd = QStringLiteral("\r\n");

std::filesystem::path nativePath(const QString& file)
{
    return std::filesystem::path(QFile::encodeName(file).toStdString());
}

// One line of the file: a line break inside would shift every later part.
QString asLine(QString text)
{
    text.replace(kLineEnd, QStringLiteral(" "));
    text.replace(u'\r', u' ');
    text.replace(u'\n', u' ');
    return text;
}

QString withNewlines(QString text)
{
    text.replace(kLineEnd, QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    return text;
}

bool isBlankOrLineEnd(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

} // namespace

void CMacro::Execute()
{
    m_context.speech.SayAndPlay(m_WhatToSay, m_Gesture, true, false);
    m_context.clipboard.setText(m_Text);
    KeySender& keys = m_context.keys;
    keys.keybdEvent(kShiftKey, 0, 0);
    keys.keybdEvent(kInsertKey, 0, 0);
    keys.keybdEvent(kInsertKey, 0, KeySender::kKeyUp);
    keys.keybdEvent(kShiftKey, 0, KeySender::kKeyUp);
}

bool CMacro::LoadMacro(const QString& filename)
{
    m_Name = filename;
    const profile::FileContents file = profile::readWholeFile(nativePath(filename));
    if (file.state != profile::FileState::Read)
        return false;

    SequentialFieldReader lines(decodeTextFile(QByteArray::fromStdString(file.bytes)));
    QString* const lineFields[] = {&m_Voice, &m_Gesture, &m_WhatToSay};
    for (QString* field : lineFields) {
        std::optional<QString> line = lines.nextLine();
        if (!line)
            return false;
        *field = *line;
    }
    const QString rest = lines.rest();
    qsizetype pos = 0;
    while (pos < rest.size() && isBlankOrLineEnd(rest[pos]))
        ++pos;
    if (pos >= rest.size())
        return false;
    if (rest[pos] != u'"') {
        // A text written without quotes runs to the next comma or line end.
        m_Text = SequentialFieldReader(rest.mid(pos)).next().value_or(QString());
        return true;
    }
    bool closed = false;
    QString text = readQuotedField(rest, pos, &closed);
    if (!closed)
        return false;   // cut short: the text may be incomplete
    m_Text = withNewlines(text);
    return true;
}

QByteArray CMacro::fileContents() const
{
    QString text = m_Text;
    text.replace(kLineEnd, QStringLiteral("\n"));
    text.replace(u'\n', kLineEnd);
    return (asLine(m_Voice) + kLineEnd + asLine(m_Gesture) + kLineEnd + asLine(m_WhatToSay) + kLineEnd
            + quoteField(text) + kLineEnd)
        .toUtf8();
}

std::optional<QByteArray> CMacro::unsavedContents() const
{
    QByteArray contents = fileContents();
    const profile::FileContents old = profile::readWholeFile(nativePath(m_Name));
    if (old.state == profile::FileState::Read && old.bytes == std::string_view(contents.constData(), size_t(contents.size())))
        return std::nullopt;
    return contents;
}

bool CMacro::Save() const
{
    const std::optional<QByteArray> contents = unsavedContents();
    return !contents
        || profile::replaceFileAtomically(nativePath(m_Name), std::string_view(contents->constData(), size_t(contents->size())));
}

void CMacro::Delete() const
{
    std::error_code ignored;
    std::filesystem::remove(nativePath(m_Name), ignored);
}
