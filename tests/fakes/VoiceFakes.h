#pragma once
// Fakes of everything the voice subsystem reaches; every action goes to one log, in order.

#include "app/character/CharacterSpeech.h"
#include "app/settings/CSettings.h"
#include "app/voice/CommandContext.h"
#include "app/voice/MainWindowActions.h"
#include "app/voice/VoiceMenus.h"
#include "platform/desktop/KeySender.h"
#include "platform/desktop/ShellLauncher.h"
#include "platform/desktop/WindowMessenger.h"
#include "platform/vcmd/VoiceCommandControl.h"
#include "tests/support/TestEnvironment.h"

#include <QStringList>

#include <map>
#include <optional>
#include <set>
#include <vector>

using EventLog = QStringList;

// Menus as lists of entries; operations on a handle it never made do nothing.
class FakeVoiceCommandControl : public VoiceCommandControl {
public:
    struct Entry { int32_t id; QString command, description, category; int32_t flags; QString action; };
    std::optional<QString> createFailure;
    std::map<int32_t, std::vector<Entry>> menus;
    std::set<int32_t> activeMenus;
    bool training = false;
    int32_t nextHandle = 41;

    void hear(const QString& command) { emit phraseRecognized(1, "a", 2, "b", 3, "c", command); }

    void setControlProperty(int, int32_t) override {}
    Result<int32_t> createMenu(const QString&, const QString&, int32_t) override
    {
        if (createFailure)
            return Error{*createFailure};
        const int32_t handle = nextHandle++;
        menus[handle];
        return handle;
    }
    void addEntry(int32_t menu, int32_t id, const QString& command, const QString& description,
                  const QString& category, int32_t flags, const QString& action) override
    {
        if (menus.count(menu))
            menus[menu].push_back(Entry{id, command, description, category, flags, action});
    }
    void activateMenu(int32_t menu) override
    {
        if (menus.count(menu))
            activeMenus.insert(menu);
    }
    void deactivateMenu(int32_t menu) override { activeMenus.erase(menu); }
    int32_t countEntries(int32_t menu) override { return menus.count(menu) ? int32_t(menus[menu].size()) : 0; }
    bool getEntry(int32_t menu, int32_t position, QString& command, QString& description, QString& category,
                  int32_t& flags, QString& action) override
    {
        if (position < 1 || position > countEntries(menu))
            return false;
        const Entry& e = menus[menu][size_t(position - 1)];
        command = e.command, description = e.description, category = e.category, flags = e.flags, action = e.action;
        return true;
    }
    void removeEntry(int32_t menu, int32_t position) override
    {
        if (position >= 1 && position <= countEntries(menu))
            menus[menu].erase(menus[menu].begin() + (position - 1));
    }
    void setThreshold(int32_t) override {}
    void showTraining(QWidget*, const QString&) override {}
    bool isTraining() const override { return training; }
    QString audioProblem() const override { return problem; }
    void setProblem(const QString& message) { problem = message, emit audioProblemChanged(message); }
    QString problem;
    void releaseMenu(int32_t menu) override { menus.erase(menu), activeMenus.erase(menu); }
    // Heard only from an active menu, reported with the entry's own command text.
    bool injectPhrase(const QString& phrase) override
    {
        if (training)
            return false;
        for (int32_t menu : activeMenus)
            for (const Entry& entry : menus[menu])
                if (entry.command.compare(phrase, Qt::CaseInsensitive) == 0)
                    return hear(entry.command), true;
        return false;
    }
};

// The desktop and a main window of seven pages; Activate goes on to the voice menus.
struct FakeDesktop : CharacterSpeech, ShellLauncher, WindowMessenger, KeySender, MainWindowActions {
    explicit FakeDesktop(EventLog& log) : log(log) {}
    void SayAndPlay(const QString& message, const QString& animation, bool hide, bool ignoreMode) override
    {
        log << QStringLiteral("say %1|%2|%3|%4").arg(message, animation).arg(hide).arg(ignoreMode);
    }
    void StopAgent() override {}
    void ReadWindowAloud(const QString& text, const QRect&) override { log << QStringLiteral("read ") + text; }
    bool open(const QString& target, const QString& args, int show) override
    {
        log << QStringLiteral("open %1|%2|%3").arg(target, args).arg(show);
        return !target.startsWith(QLatin1String("missing"));   // what cannot be started
    }
    void postToForeground(uint32_t msg, int32_t w, int32_t l) override { log << QStringLiteral("post %1 %2 %3").arg(msg).arg(w).arg(l); }
    void keybdEvent(uint8_t key, uint8_t scan, uint32_t flags) override { log << QStringLiteral("key %1 %2 %3").arg(key).arg(scan).arg(flags); }
    int16_t vkKeyScan(char) override { return -1; }
    void Activate(bool active) override
    {
        log << QStringLiteral("activate %1").arg(active);
        if (menus)
            menus->Activate(active);
    }
    void Launch() override { log << "launch"; }
    void hideMainWindow() override { log << "hide"; }
    bool selectTab(int index) override
    {
        if (index < 0 || index >= 7)
            return false;
        return log << QStringLiteral("tab %1").arg(index), true;
    }
    VoiceMenus* menus = nullptr;
    EventLog& log;
};

// The voice subsystem over fakes.
struct VoiceHarness {
    EventLog log;
    FakeVoiceCommandControl recogniser;
    FakeDesktop desktop{log};
    CommandContext context{desktop, desktop, desktop, desktop, desktop};
    CSettings settings{QStringLiteral("/nonexistent")};
    VoiceMenus menus{recogniser, settings};

    VoiceHarness() { desktop.menus = &menus; }
    int32_t menu() const { return menus.VoiceMenu(); }
    QStringList menuTexts()
    {
        QStringList texts;
        for (const auto& entry : recogniser.menus[menu()])
            texts << entry.command;
        return texts;
    }
    bool listening() { return recogniser.activeMenus.count(menu()) > 0; }
    // The menus heard now, by their entries.
    QList<QStringList> heardMenus()
    {
        QList<QStringList> heard;
        for (int32_t handle : recogniser.activeMenus) {
            QStringList texts;
            for (const auto& entry : recogniser.menus[handle])
                texts << entry.command;
            heard << texts;
        }
        return heard;
    }
};
