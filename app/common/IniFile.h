#pragma once
// QString face of the private-profile calls for the program's own files.

#include "platform/common/Result.h"
#include "platform/profile/PrivateProfile.h"

#include <QString>

#include <optional>

// The value of key in section of file; a missing or empty value yields defaultValue.
// At most 1023 characters come back (the callers' buffer of 1024).
QString ReadIniString(const QString& section, const QString& key, const QString& defaultValue, const QString& file);

// WritePrivateProfileString: key nullopt deletes the section, value nullopt the key.
bool WriteIniString(const QString& section, const std::optional<QString>& key,
                    const std::optional<QString>& value, const QString& file);

// Many reads of one file with one parse, by the rules of ReadIniString.
class IniReader {
public:
    explicit IniReader(const QString& file);
    QString readString(const QString& section, const QString& key, const QString& defaultValue) const;
    // GetPrivateProfileInt: the default only for a missing or empty value.
    int readInt(const QString& section, const QString& key, int defaultValue) const;

private:
    profile::ProfileSnapshot m_snapshot;
};

// Writes to one file that belong together, made with one parse and one atomic
// replacement under the file's lock. A value holding a line break refuses the commit.
class IniEdit {
public:
    void write(const QString& section, const QString& key, const QString& value);
    void deleteSection(const QString& section);
    // Starts from no file at all, as deleting it first would.
    void clear() { m_edit.clear(); }

    // Nothing is written when the edit fails; the error names the file and says why.
    Result<void> commit(const QString& file) const;

private:
    profile::ProfileEdit m_edit;
};

// Replaces file with bytes atomically (temporary file, then rename): a crash leaves the
// old file or the new one. A file the user may not write is refused.
Result<void> ReplaceFileAtomically(const QString& file, const QByteArray& bytes);

// The text to store so that value reads back unchanged: reading trims blanks around a
// value and removes one pair of quotes around it, so such a value is stored quoted.
QString StoredIniValue(const QString& value);
