#include "tests/support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdlib>

#include <sys/fsuid.h>

namespace {
constexpr uid_t kNobody = 65534;
}

IsolatedEnvironment::IsolatedEnvironment()
{
    if (!m_dir.isValid())
        throw std::runtime_error("cannot create a temporary folder");
    for (const char* sub : {"home", "config", "data", "cache", "windir", "runtime"})
        QDir(m_dir.path()).mkpath(QString::fromLatin1(sub));
    QFile::setPermissions(path("runtime"), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    setEnv("HOME", path("home"));
    setEnv("XDG_CONFIG_HOME", path("config"));
    setEnv("XDG_DATA_HOME", path("data"));
    setEnv("XDG_CACHE_HOME", path("cache"));
    setEnv("XDG_RUNTIME_DIR", path("runtime"));
    setEnv("VORLIX_REGISTRY", path("config/registry.ini"));
    setEnv("VORLIX_WINDIR", path("windir"));
}

IsolatedEnvironment::~IsolatedEnvironment()
{
    for (const auto& [name, old] : m_saved) {
        if (old)
            qputenv(name.c_str(), *old);
        else
            qunsetenv(name.c_str());
    }
}

void IsolatedEnvironment::setEnv(const char* name, const QString& value)
{
    if (!m_saved.count(name)) {
        if (qEnvironmentVariableIsSet(name))
            m_saved[name] = qgetenv(name);
        else
            m_saved[name] = std::nullopt;
    }
    qputenv(name, value.toUtf8());
}

QByteArray IsolatedEnvironment::readFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

void IsolatedEnvironment::writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw std::runtime_error("cannot write " + path.toStdString());
    file.write(bytes);
}

WithoutFileRights::WithoutFileRights()
    // Leaving file-system uid 0 drops the capabilities that override permissions, for
    // this thread only; without root this changes nothing and the permissions apply anyway.
    : m_previousUid(::setfsuid(kNobody))
{
}

WithoutFileRights::~WithoutFileRights()
{
    ::setfsuid(uid_t(m_previousUid));
}

void WithoutFileRights::denyReading(const QString& path)
{
    QFile::setPermissions(QFileInfo(path).absolutePath(), QFileDevice::ReadOwner | QFileDevice::WriteOwner
                              | QFileDevice::ExeOwner | QFileDevice::ExeGroup | QFileDevice::ExeOther);
    QFile::setPermissions(path, {});
}
