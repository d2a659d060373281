#include "app/macros/MacroList.h"

#include "app/voice/VoiceMenus.h"
#include "platform/files/DirectorySearch.h"
#include "platform/profile/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTime>

#include <algorithm>

namespace {

constexpr int kMsPerDay = 24 * 60 * 60 * 1000;
constexpr int kHundredthMs = 10;

// Seconds since midnight as the file name has always shown them: single precision, at
// most seven significant digits, no trailing zeros, the user's decimal separator.
QString secondsText(int ms)
{
    const float seconds = float(ms) / 1000.0f;
    QString text = QString::number(double(seconds), 'g', 7);
    return text.replace(u'.', QLocale().decimalPoint());
}

} // namespace

MacroList::MacroList(VoiceMenus& menus, MacroContext& context, QString macrosPath, TimeOfDay timeOfDay)
    : m_menus(menus), m_context(context), m_macrosPath(std::move(macrosPath)), m_timeOfDay(std::move(timeOfDay))
{
    if (!m_timeOfDay)
        m_timeOfDay = [] { return QTime::currentTime().msecsSinceStartOfDay(); };
}

MacroList::~MacroList()
{
    // The registry only refers to the macros.
    for (const Entry& entry : m_entries)
        m_menus.UnregisterCommand(*entry.macro);
}

std::unique_ptr<CMacro> MacroList::newMacro()
{
    ++m_macroCounter;
    auto macro = std::make_unique<CMacro>(m_context);
    macro->m_Name = newFileName();
    macro->m_Voice = QStringLiteral("Macro %1").arg(m_macroCounter);
    return macro;
}

// Two macros made within one hundredth of a second would share a name: the later one
// takes the next free hundredth.
QString MacroList::newFileName() const
{
    const QDir folder(m_macrosPath);
    int ms = m_timeOfDay();
    for (int tries = 0; tries < kMsPerDay / kHundredthMs; ++tries, ms = (ms + kHundredthMs) % kMsPerDay) {
        const QString name = folder.filePath(secondsText(ms) + QStringLiteral(".txt"));
        if (!isNameTaken(name))
            return name;
    }
    return folder.filePath(secondsText(ms) + QStringLiteral(".txt"));   // a folder of 8.6 million macros
}

bool MacroList::isNameTaken(const QString& name) const
{
    for (const Entry& entry : m_entries)
        if (entry.macro->m_Name == name)
            return true;
    return QFile::exists(name);
}

void MacroList::LoadMacros()
{
    const QDir folder(m_macrosPath);
    for (const files::DirEntry& file : files::findFiles(QFile::encodeName(m_macrosPath).toStdString(), "*.txt")) {
        if (file.isDirectory)
            continue;
        std::unique_ptr<CMacro> macro = newMacro();
        const bool whole = macro->LoadMacro(folder.filePath(QFile::decodeName(file.name.c_str())));
        m_menus.RegisterCommand(*macro);
        m_entries.push_back(Entry{std::move(macro), whole});
    }
}

// One flush to disk for all the files, not one per file.
bool MacroList::SaveMacros() const
{
    std::vector<profile::Replacement> changed;
    for (const Entry& entry : m_entries) {
        if (!entry.whole)
            continue;
        if (const std::optional<QByteArray> contents = entry.macro->unsavedContents())
            changed.push_back({QFile::encodeName(entry.macro->m_Name).toStdString(), contents->toStdString()});
    }
    const std::vector<bool> replaced = profile::replaceFilesAtomically(changed);
    return std::all_of(replaced.begin(), replaced.end(), [](bool done) { return done; });
}

CMacro& MacroList::add()
{
    std::unique_ptr<CMacro> macro = newMacro();
    m_menus.RegisterCommand(*macro);
    m_entries.push_back(Entry{std::move(macro), true});
    return *m_entries.back().macro;
}

void MacroList::remove(int index)
{
    if (index < 0 || index >= count())
        return;
    CMacro& macro = at(index);
    macro.Delete();
    m_menus.UnregisterCommand(macro);
    m_entries.erase(m_entries.begin() + index);
}

bool MacroList::changePhrase(int index, const QString& boxText)
{
    const QString phrase = boxText.trimmed();
    if (phrase.isEmpty() || index < 0 || index >= count())
        return false;
    CMacro& macro = at(index);
    m_menus.UnregisterCommand(macro);
    macro.m_Voice = phrase;
    m_menus.RegisterCommand(macro);
    return true;
}
