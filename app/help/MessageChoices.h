#pragma once
// The messages the user asked not to see again, kept as keys of section "General" in
// "MessageID.INI" of the program folder. Only the value "Yes" (exact case) hides one;
// keys are never removed.

#include <QString>

QString messageChoicesFile(const QString& appPath);

bool isMessageHiddenIn(const QString& choicesFile, const QString& messageId);

// Remembers messageId as hidden; false when the file could not be written.
bool hideMessageIn(const QString& choicesFile, const QString& messageId);
