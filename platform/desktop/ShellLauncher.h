#pragma once
// The shell's "open": programs start detached with their arguments, documents and web
// addresses go to the desktop's opener. Results are not reported and never throw.

#include <QString>

class ShellLauncher {
public:
    static constexpr int kShowNormal = 1;
    static constexpr int kShowMaximized = 3;

    virtual ~ShellLauncher() = default;
    virtual void open(const QString& target, const QString& parameters, int showCommand) = 0;
};
