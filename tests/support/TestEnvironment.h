#pragma once
// Every test runs in a temporary folder of its own: HOME, the XDG folders and the
// Vorlix variables point there, so nothing touches the user's files.

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>
#include <ostream>
#include <optional>
#include <string>

class IsolatedEnvironment {
public:
    IsolatedEnvironment();
    ~IsolatedEnvironment();
    IsolatedEnvironment(const IsolatedEnvironment&) = delete;
    IsolatedEnvironment& operator=(const IsolatedEnvironment&) = delete;

    QString root() const { return m_dir.path(); }
    QString path(const QString& relative) const { return m_dir.filePath(relative); }
    std::string stdPath(const QString& relative) const { return path(relative).toStdString(); }

    // Sets an environment variable for the life of this object.
    void setEnv(const char* name, const QString& value);

    static QByteArray readFile(const QString& path);
    static void writeFile(const QString& path, const QByteArray& bytes);

private:
    QTemporaryDir m_dir;
    std::map<std::string, std::optional<QByteArray>> m_saved;
};

// Readable failure messages for Qt strings.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

// A test fixture owning an IsolatedEnvironment.
class IsolatedTest : public ::testing::Test {
protected:
    IsolatedEnvironment env;
};
