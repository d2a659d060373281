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

// For its life, this thread meets file permissions as an ordinary user does, also when
// the tests run as root (whose rights would open any file): a test of an unreadable
// file then fails to read it wherever it runs.
class WithoutFileRights {
public:
    WithoutFileRights();
    ~WithoutFileRights();
    WithoutFileRights(const WithoutFileRights&) = delete;
    WithoutFileRights& operator=(const WithoutFileRights&) = delete;

    // Makes path unreadable and its folder passable, so the file is seen but not opened.
    static void denyReading(const QString& path);

private:
    int m_previousUid;
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
