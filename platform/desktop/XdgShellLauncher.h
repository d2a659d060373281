#pragma once
// The shell's "open" on the freedesktop.org desktop. A program (an executable file or a
// name found on PATH) starts detached with its parameters split as a shell splits words
// but never through a shell; a .desktop launcher starts its Exec line; a target ending
// in .exe runs through wine; documents, folders and web addresses go to xdg-open. A target
// "~" or "~/…" is in the user's home folder. The desktop's generic terminal names
// (xdg-terminal-exec, x-terminal-emulator) start the terminal this desktop really has.
// Failures are logged once per target. UI thread only.

#include "platform/common/Result.h"
#include "platform/desktop/ShellLauncher.h"

#include <QSet>
#include <QStringList>

#include <functional>

class XdgShellLauncher : public ShellLauncher {
public:
    struct Command {
        QString program;
        QStringList arguments;
    };
    // Starts the command detached from this process; false when it cannot be started.
    using Starter = std::function<bool(const Command&)>;

    XdgShellLauncher();
    explicit XdgShellLauncher(Starter starter);

    // showCommand is accepted and ignored: no desktop lets one program choose another's
    // window state.
    bool open(const QString& target, const QString& parameters, int showCommand) override;

    // What open starts for target, or why it cannot start anything.
    static Result<Command> commandFor(const QString& target, const QString& parameters);

    // The terminal: xdg-terminal-exec, then $TERMINAL, then x-terminal-emulator (the
    // alternatives system), then the usual terminals of the desktops. findProgram gives the
    // full path of a program found on PATH, or "".
    static Result<Command> terminalCommand(const std::function<QString(const QString&)>& findProgram,
                                           const QString& terminalVariable, const QStringList& arguments);

    // The words of a command line as a POSIX shell splits them: blanks separate words,
    // single quotes keep everything, double quotes keep all but \" \\ \$ \`, a backslash
    // outside quotes keeps the next character. Nothing is expanded ($, ~, globs) and
    // operators (; | & >) are plain text. An unclosed quote runs to the end.
    static QStringList splitArguments(const QString& line);

private:
    Starter m_start;
    QSet<QString> m_reported;
};
