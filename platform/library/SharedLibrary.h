#pragma once
// A shared library opened by file name at run time and its symbols looked up by name
// (dlopen/dlsym). Move-only; closes the library when destroyed. UI thread only.

#include <QString>
#include <QStringList>

class SharedLibrary {
public:
    SharedLibrary() = default;
    ~SharedLibrary();
    SharedLibrary(SharedLibrary&& other) noexcept;
    SharedLibrary& operator=(SharedLibrary&& other) noexcept;
    SharedLibrary(const SharedLibrary&) = delete;
    SharedLibrary& operator=(const SharedLibrary&) = delete;

    // Opens the first of candidates that loads. A plain name goes through the system
    // loader's search; a path must exist as given. False when none loads, with every
    // candidate's reason in failure().
    bool open(const QStringList& candidates);

    bool isOpen() const { return m_handle != nullptr; }
    QString fileName() const { return m_fileName; }
    QString failure() const { return m_failure; }

    // The symbol's address; nullptr when the library is not open or has no such symbol.
    void* symbol(const char* name) const;

private:
    void close();

    void* m_handle = nullptr;
    QString m_fileName;
    QString m_failure;
};
