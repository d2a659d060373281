// vorlix-agent: loads a character and issues the steps given on the command line as
// requests, in order, then exits when the character's queue is empty. For character
// authors (try an animation, hear a text) and for tests.

#include "platform/agent/DesktopAgentCharacters.h"
#include "platform/common/GuardedMain.h"
#include "platform/files/DirectorySearch.h"

#include <QApplication>
#include <QFileInfo>
#include <QTextStream>

#include <cstdio>
#include <cstring>
#include <optional>

namespace {

const char* const kUsage =
    "usage: vorlix-agent FILE.acs STEP...\n"
    "       vorlix-agent FILE.acs --list\n"
    "       vorlix-agent --list\n"
    "steps: show, show:fast, hide, hide:fast, play:NAME, speak:TEXT, move:X,Y,\n"
    "       size:W,H, balloon:on|off, font:NAME,SIZE, stop\n"
    "size, balloon and font apply at once; the other steps queue as requests.\n"
    "FILE.acs may also be the name of a supplied character (\"merlin\"); --list alone\n"
    "lists the supplied characters.\n";

// The folder of the supplied characters, found from where the program is installed.
std::filesystem::path characterFolder()
{
    return std::filesystem::path(files::windowsDirectory().value_or(std::string())) / "msagent" / "chars";
}

int listCharacters()
{
    const std::filesystem::path folder = characterFolder();
    int found = 0;
    for (const files::DirEntry& entry : files::findFiles(folder, "*.acs")) {
        if (entry.isDirectory)
            continue;
        std::printf("%s\n", (folder / entry.name).c_str());
        ++found;
    }
    if (found == 0) {
        std::fprintf(stderr, "vorlix-agent: no characters in %s\n", folder.c_str());
        return 1;
    }
    return 0;
}

// A path as given; a bare name that is not a file here is a supplied character.
QString characterFile(const QString& argument)
{
    if (argument.contains(QLatin1Char('/')) || QFileInfo::exists(argument))
        return argument;
    const QString folder = QString::fromStdString(characterFolder().string()) + QLatin1Char('/');
    if (argument.endsWith(QLatin1String(".acs"), Qt::CaseInsensitive) || QFileInfo::exists(folder + argument))
        return folder + argument;
    return folder + argument + QLatin1String(".acs");
}

std::optional<std::pair<int, int>> numberPair(const QString& text)
{
    const QStringList parts = text.split(QLatin1Char(','));
    bool firstOk = false;
    bool secondOk = false;
    if (parts.size() != 2)
        return std::nullopt;
    const int first = parts[0].trimmed().toInt(&firstOk);
    const int second = parts[1].trimmed().toInt(&secondOk);
    if (!firstOk || !secondOk)
        return std::nullopt;
    return std::pair{first, second};
}

// Issues one step; false when the step cannot be understood.
bool issueStep(DesktopAgentCharacter& character, const QString& step, QTextStream& err)
{
    const qsizetype colon = step.indexOf(QLatin1Char(':'));
    const QString verb = colon < 0 ? step : step.left(colon);
    const QString argument = colon < 0 ? QString() : step.mid(colon + 1);
    const bool hasArgument = colon >= 0;
    if (verb == QLatin1String("show") || verb == QLatin1String("hide")) {
        if (hasArgument && argument != QLatin1String("fast"))
            return false;
        verb == QLatin1String("show") ? character.show(hasArgument) : character.hide(hasArgument);
    } else if (verb == QLatin1String("play") && hasArgument) {
        if (Result<void> played = character.play(argument); !played)
            err << "vorlix-agent: " << played.error().message << Qt::endl;
    } else if (verb == QLatin1String("speak") && hasArgument) {
        character.speak(argument);
    } else if (verb == QLatin1String("stop") && !hasArgument) {
        character.stop();
    } else if (verb == QLatin1String("move") || verb == QLatin1String("size")) {
        const auto pair = numberPair(argument);
        if (!pair)
            return false;
        if (verb == QLatin1String("move")) {
            character.moveTo(int16_t(pair->first), int16_t(pair->second));
        } else {
            character.setWidth(int16_t(pair->first));
            character.setHeight(int16_t(pair->second));
        }
    } else if (verb == QLatin1String("balloon") && (argument == QLatin1String("on") || argument == QLatin1String("off"))) {
        AgentBalloon& balloon = character.balloon();
        balloon.setStyle(argument == QLatin1String("on") ? balloon.style() | AgentBalloon::kBalloonOn
                                                         : balloon.style() & ~AgentBalloon::kBalloonOn);
    } else if (verb == QLatin1String("font") && argument.contains(QLatin1Char(','))) {
        const qsizetype comma = argument.lastIndexOf(QLatin1Char(','));
        bool ok = false;
        const int points = argument.mid(comma + 1).trimmed().toInt(&ok);
        if (!ok)
            return false;
        character.balloon().setFontName(argument.left(comma));
        character.balloon().setFontSize(points);
    } else {
        return false;
    }
    return true;
}

int run(int argc, char** argv)
{
    // Needs no display, so it works from a plain terminal or an install check.
    if (argc == 2 && !std::strcmp(argv[1], "--list"))
        return listCharacters();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("vorlix-agent"));
    QTextStream out(stdout);
    QTextStream err(stderr);
    const QStringList arguments = QApplication::arguments().mid(1);
    if (arguments.size() < 2 || arguments.contains(QLatin1String("--help"))) {
        err << kUsage;
        return 2;
    }

    DesktopAgentCharacters characters;
    const QString id = QStringLiteral("VorlixAgent");
    if (Result<void> loaded = characters.load(id, characterFile(arguments[0])); !loaded) {
        err << "vorlix-agent: " << loaded.error().message << Qt::endl;
        return 1;
    }
    DesktopAgentCharacter& character = *characters.item(id);
    character.setLanguageID(AgentCharacter::kLanguageEnglishUS);

    if (arguments[1] == QLatin1String("--list")) {
        out << character.originalWidth() << 'x' << character.originalHeight() << '\n';
        for (const QString& name : character.animationNames())
            out << name << '\n';
        return 0;
    }

    for (const QString& step : arguments.mid(1)) {
        if (!issueStep(character, step, err)) {
            err << "vorlix-agent: cannot understand the step \"" << step << "\"\n" << kUsage;
            return 2;
        }
    }
    QObject::connect(&character, &DesktopAgentCharacter::idle, &app, &QApplication::quit);
    if (!character.isBusy())
        return 0;
    return QApplication::exec();
}

} // namespace

int main(int argc, char** argv)
{
    return runGuarded("vorlix-agent", [&] { return run(argc, argv); });
}
