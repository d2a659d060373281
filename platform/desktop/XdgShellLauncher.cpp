#include "platform/desktop/XdgShellLauncher.h"

#include "platform/common/CommandLine.h"
#include "platform/desktop/DesktopLog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

#include <optional>

namespace {

using Command = XdgShellLauncher::Command;

bool startDetached(const Command& command)
{
    QProcess process;
    process.setProgram(command.program);
    process.setArguments(command.arguments);
    process.setStandardInputFile(QProcess::nullDevice());
    return process.startDetached();
}

// A scheme of two letters or more, so that "C:\file" stays a path.
bool looksLikeAddress(const QString& target)
{
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+:"));
    return scheme.match(target).hasMatch();
}

Result<Command> desktopOpener(const QString& item)
{
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (opener.isEmpty())
        return Error{QStringLiteral("the desktop's opener xdg-open is not installed")};
    // An absolute path, so that a name starting with "-" is not taken for an option.
    const QFileInfo local(item);
    return Command{opener, {local.exists() ? local.absoluteFilePath() : item}};
}

Result<Command> programCommand(const QString& program, QStringList arguments)
{
    QString path = program;
    if (!program.contains(QLatin1Char('/')))
        path = QStandardPaths::findExecutable(program);
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists())
        return Error{QStringLiteral("the program %1 was not found").arg(program)};
    if (info.isDir() || !info.isExecutable())
        return Error{QStringLiteral("%1 is not a program").arg(program)};
    return Command{info.absoluteFilePath(), std::move(arguments)};
}

// The escapes of a desktop entry's string values.
QString unescapeValue(const QString& value)
{
    QString out;
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] != QLatin1Char('\\') || i + 1 == value.size()) {
            out += value[i];
            continue;
        }
        const QChar next = value[++i];
        switch (next.unicode()) {
        case 's': out += QLatin1Char(' '); break;
        case 'n': out += QLatin1Char('\n'); break;
        case 't': out += QLatin1Char('\t'); break;
        case 'r': out += QLatin1Char('\r'); break;
        case '\\': out += QLatin1Char('\\'); break;
        case ';': out += QLatin1Char(';'); break;
        default: out += QLatin1Char('\\'); out += next; break;   // left for the Exec quoting
        }
    }
    return out;
}

Result<Command> desktopEntryCommand(const QString& path, const QString& parameters)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Error{QStringLiteral("the launcher %1 cannot be read: %2").arg(path, file.errorString())};
    QString group, type, exec, url;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            group = line;
            continue;
        }
        if (group != QLatin1String("[Desktop Entry]"))
            continue;
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals < 0)
            continue;
        const QString key = line.left(equals).trimmed();
        const QString value = unescapeValue(line.mid(equals + 1).trimmed());
        // The first of a repeated key wins, as desktop files are read elsewhere.
        if (key == QLatin1String("Type") && type.isEmpty())
            type = value;
        else if (key == QLatin1String("Exec") && exec.isEmpty())
            exec = value;
        else if (key == QLatin1String("URL") && url.isEmpty())
            url = value;
    }
    if (type == QLatin1String("Link")) {
        if (url.isEmpty())
            return Error{QStringLiteral("the link %1 has no address").arg(path)};
        return desktopOpener(url);
    }
    QStringList words;
    for (const std::string& word : commandline::splitDesktopExec(exec.toStdString()).value_or(std::vector<std::string>{}))
        words += QString::fromStdString(word);
    if (words.isEmpty())
        return Error{QStringLiteral("the launcher %1 names no program").arg(path)};
    const QString program = words.takeFirst();
    return programCommand(program, words + XdgShellLauncher::splitArguments(parameters));
}

} // namespace

XdgShellLauncher::XdgShellLauncher() : m_start(startDetached) {}

XdgShellLauncher::XdgShellLauncher(Starter starter)
    : m_start(starter ? std::move(starter) : Starter(startDetached))
{
}

bool XdgShellLauncher::open(const QString& target, const QString& parameters, int /*showCommand*/)
{
    if (target.trimmed().isEmpty())
        return false;
    const Result<Command> command = commandFor(target, parameters);
    QString failure;
    if (!command)
        failure = command.error().message;
    else if (!m_start(command.value()))
        failure = QStringLiteral("%1 could not be started").arg(command.value().program);
    if (failure.isEmpty())
        return true;
    if (!m_reported.contains(target)) {
        m_reported.insert(target);
        qCWarning(lcDesktop, "Cannot open \"%s\": %s", qPrintable(target), qPrintable(failure));
    }
    return false;
}

Result<XdgShellLauncher::Command> XdgShellLauncher::terminalCommand(
    const std::function<QString(const QString&)>& findProgram, const QString& terminalVariable,
    const QStringList& arguments)
{
    static const QStringList kUsual{
        QStringLiteral("gnome-terminal"), QStringLiteral("konsole"), QStringLiteral("xfce4-terminal"),
        QStringLiteral("mate-terminal"), QStringLiteral("lxterminal"), QStringLiteral("qterminal"),
        QStringLiteral("terminator"), QStringLiteral("tilix"), QStringLiteral("alacritty"),
        QStringLiteral("kitty"), QStringLiteral("foot"), QStringLiteral("urxvt"), QStringLiteral("xterm")};
    QStringList candidates{QStringLiteral("xdg-terminal-exec")};
    // $TERMINAL may hold a command line ("kitty -1"): its first word is the program.
    const QStringList chosen = splitArguments(terminalVariable);
    if (!chosen.isEmpty())
        candidates << chosen.first();
    candidates << QStringLiteral("x-terminal-emulator") << kUsual;
    for (const QString& candidate : candidates) {
        const QString path = findProgram(candidate);
        if (path.isEmpty())
            continue;
        QStringList words = candidate == chosen.value(0) ? chosen.mid(1) : QStringList();
        return Command{path, words + arguments};
    }
    return Error{QStringLiteral("no terminal program was found (tried %1)").arg(candidates.join(QStringLiteral(", ")))};
}

Result<XdgShellLauncher::Command> XdgShellLauncher::commandFor(const QString& target,
                                                               const QString& parameters)
{
    QString item = target.trimmed();
    if (item.isEmpty())
        return Error{QStringLiteral("there is nothing to open")};
    if (item == QLatin1String("~") || item.startsWith(QLatin1String("~/")))
        item = QDir::homePath() + item.mid(1);
    if (item == QLatin1String("xdg-terminal-exec") || item == QLatin1String("x-terminal-emulator")) {
        const auto find = [](const QString& name) { return QStandardPaths::findExecutable(name); };
        return terminalCommand(find, qEnvironmentVariable("TERMINAL"), splitArguments(parameters));
    }
    const QFileInfo info(item);
    if (!info.exists()) {
        if (item.startsWith(QLatin1String("www."), Qt::CaseInsensitive))
            return desktopOpener(QStringLiteral("http://") + item);
        if (looksLikeAddress(item))
            return desktopOpener(item);
    }
    if (item.endsWith(QLatin1String(".exe"), Qt::CaseInsensitive)) {
        const QString wine = QStandardPaths::findExecutable(QStringLiteral("wine"));
        if (wine.isEmpty())
            return Error{QStringLiteral("Windows programs need wine, which is not installed")};
        return Command{wine, QStringList{item} + splitArguments(parameters)};
    }
    if (info.isFile() && item.endsWith(QLatin1String(".desktop"), Qt::CaseInsensitive))
        return desktopEntryCommand(item, parameters);
    if (info.isFile() && info.isExecutable())
        return programCommand(info.absoluteFilePath(), splitArguments(parameters));
    if (!item.contains(QLatin1Char('/')) && !QStandardPaths::findExecutable(item).isEmpty())
        return programCommand(item, splitArguments(parameters));
    if (info.exists())
        return desktopOpener(item);
    return Error{QStringLiteral("%1 was not found").arg(item)};
}

QStringList XdgShellLauncher::splitArguments(const QString& line)
{
    QStringList words;
    for (const std::string& word : commandline::splitShellWords(line.toStdString()))
        words += QString::fromStdString(word);
    return words;
}
