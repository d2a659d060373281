#pragma once
// QString face of the private-profile calls for the program's own files.

#include <QString>

#include <optional>

// The value of key in section of file; a missing or empty value yields defaultValue.
// At most 1023 characters come back (the callers' buffer of 1024).
QString ReadIniString(const QString& section, const QString& key, const QString& defaultValue, const QString& file);

// WritePrivateProfileString: key nullopt deletes the section, value nullopt the key.
bool WriteIniString(const QString& section, const std::optional<QString>& key,
                    const std::optional<QString>& value, const QString& file);
