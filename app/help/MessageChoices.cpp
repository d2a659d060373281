#include "app/help/MessageChoices.h"

#include "app/common/IniFile.h"

namespace {
const QString kSection = QStringLiteral("General");
const QString kHidden = QStringLiteral("Yes");
}

QString messageChoicesFile(const QString& appPath)
{
    return appPath + QStringLiteral("/MessageID.INI");
}

bool isMessageHiddenIn(const QString& choicesFile, const QString& messageId)
{
    return ReadIniString(kSection, messageId, QStringLiteral("No"), choicesFile) == kHidden;
}

bool hideMessageIn(const QString& choicesFile, const QString& messageId)
{
    // A nameless key would be a broken line that no identifier can ever read back.
    if (messageId.trimmed().isEmpty())
        return false;
    return WriteIniString(kSection, messageId, kHidden, choicesFile);
}
