#pragma once
// The shell's "open": programs start detached with their arguments, documents and web
// addresses go to the desktop's opener. Never throws; says whether anything was started
// (what the started program does afterwards is its own affair).

#include <QString>

class ShellLauncher {
public:
    static constexpr int kShowNormal = 1;
    static constexpr int kShowMaximized = 3;

    virtual ~ShellLauncher() = default;
    virtual bool open(const QString& target, const QString& parameters, int showCommand) = 0;
};
