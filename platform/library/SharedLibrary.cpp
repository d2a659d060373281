#include "platform/library/SharedLibrary.h"

#include <QFile>
#include <QFileInfo>

#include <dlfcn.h>

#include <utility>

SharedLibrary::~SharedLibrary()
{
    close();
}

SharedLibrary::SharedLibrary(SharedLibrary&& other) noexcept
    : m_handle(std::exchange(other.m_handle, nullptr)), m_fileName(std::move(other.m_fileName)),
      m_failure(std::move(other.m_failure))
{
}

SharedLibrary& SharedLibrary::operator=(SharedLibrary&& other) noexcept
{
    if (this != &other) {
        close();
        m_handle = std::exchange(other.m_handle, nullptr);
        m_fileName = std::move(other.m_fileName);
        m_failure = std::move(other.m_failure);
    }
    return *this;
}

void SharedLibrary::close()
{
    if (m_handle)
        ::dlclose(m_handle);
    m_handle = nullptr;
}

bool SharedLibrary::open(const QStringList& candidates)
{
    close();
    QStringList reasons;
    for (const QString& candidate : candidates) {
        if (candidate.contains(QLatin1Char('/')) && !QFileInfo::exists(candidate)) {
            reasons << candidate + QStringLiteral(": no such file");
            continue;
        }
        m_handle = ::dlopen(QFile::encodeName(candidate).constData(), RTLD_NOW | RTLD_LOCAL);
        if (m_handle) {
            m_fileName = candidate;
            m_failure.clear();
            return true;
        }
        const char* error = ::dlerror();
        reasons << QString::fromLocal8Bit(error ? error : "cannot be loaded");
    }
    m_failure = reasons.join(QStringLiteral("; "));
    return false;
}

void* SharedLibrary::symbol(const char* name) const
{
    if (!m_handle)
        return nullptr;
    ::dlerror();
    return ::dlsym(m_handle, name);
}
