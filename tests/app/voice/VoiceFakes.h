#pragma once
// Fakes of everything the voice subsystem reaches. Every action goes to one shared log as
// a short line, so a test reads both what happened and in which order.

#include "app/character/CharacterSpeech.h"
#include "app/settings/CSettings.h"
#include "app/voice/CommandContext.h"
#include "app/voice/MainWindowActions.h"
#include "app/voice/VoiceMenus.h"
#include "platform/desktop/KeySender.h"
#include "platform/desktop/ShellLauncher.h"
#include "platform/desktop/WindowMessenger.h"
#include "platform/vcmd/VoiceCommandControl.h"

#include <QStringList>

#include <map>
#include <optional>
#include <set>
#include <vector>

using EventLog = QStringList;

// Menus as lists of entries; operations on a handle it never made do nothing.
class FakeVoiceCommandControl : public VoiceCommandControl {
public:
    struct Entry {
        int32_t id;
        QString command, description, category;
        int32_t flags;
        QString action;
    };
    static constexpr int32_t kHandle = 41;

    explicit FakeVoiceCommandControl(EventLog& log) : m_log(log) {}

    std::optional<QString> createFailure;
    std::map<int32_t, std::vector<Entry>> menus;
    std::set<int32_t> activeMenus;
    std::vector<int32_t> thresholds;

    QStringList commandTexts(int32_t menu)
    {
        QStringList texts;
        for (const Entry& entry : menus[menu])
            texts << entry.command;
        return texts;
    }
    bool isActive(int32_t menu) const { return activeMenus.count(menu) > 0; }
    void hear(const QString& command) { emit phraseRecognized(1, "a", 2, "b", 3, "c", command); }

    void setControlProperty(int id, int32_t value) override { m_log << QStringLiteral("property %1 %2").arg(id).arg(value); }
    Result<int32_t> createMenu(const QString& name, const QString& state, int32_t flags) override
    {
        m_log << QStringLiteral("createMenu %1 %2 %3").arg(name, state).arg(flags);
        if (createFailure)
            return Error{*createFailure};
        menus[kHandle];
        return kHandle;
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
    void setThreshold(int32_t value) override { thresholds.push_back(value); }
    void showTraining(QWidget*, const QString& title) override { m_log << QStringLiteral("training ") + title; }
    void releaseMenu(int32_t menu) override
    {
        m_log << QStringLiteral("release %1").arg(menu);
        menus.erase(menu);
        activeMenus.erase(menu);
    }
    // Heard only from an active menu, reported with the entry's own command text.
    bool injectPhrase(const QString& phrase) override
    {
        for (int32_t menu : activeMenus)
            for (const Entry& entry : menus[menu])
                if (entry.command.compare(phrase, Qt::CaseInsensitive) == 0) {
                    hear(entry.command);
                    return true;
                }
        return false;
    }

private:
    EventLog& m_log;
};

struct FakeDesktop : CharacterSpeech, ShellLauncher, WindowMessenger, KeySender {
    explicit FakeDesktop(EventLog& log) : m_log(log) {}
    void SayAndPlay(const QString& message, const QString& animation, bool hide, bool ignoreMode) override
    {
        m_log << QStringLiteral("say %1|%2|%3|%4").arg(message, animation).arg(hide).arg(ignoreMode);
    }
    void StopAgent() override { m_log << "stop"; }
    void open(const QString& target, const QString& parameters, int show) override
    {
        m_log << QStringLiteral("open %1|%2|%3").arg(target, parameters).arg(show);
    }
    void postToForeground(uint32_t message, int32_t wParam, int32_t lParam) override
    {
        m_log << QStringLiteral("post %1 %2 %3").arg(message).arg(wParam).arg(lParam);
    }
    void keybdEvent(uint8_t key, uint8_t scanCode, uint32_t flags) override
    {
        m_log << QStringLiteral("key %1 %2 %3").arg(key).arg(scanCode).arg(flags);
    }
    int16_t vkKeyScan(char) override { return -1; }
    EventLog& m_log;
};

// Seven pages; Activate goes on to the voice menus, as the main window's does.
struct FakeMainWindow : MainWindowActions {
    explicit FakeMainWindow(EventLog& log) : m_log(log) {}
    void Activate(bool active) override
    {
        m_log << QStringLiteral("activate %1").arg(active);
        if (menus)
            menus->Activate(active);
    }
    void Launch() override { m_log << "launch"; }
    void hideMainWindow() override { m_log << "hide"; }
    bool selectTab(int index) override
    {
        if (index < 0 || index >= 7)
            return false;
        m_log << QStringLiteral("tab %1").arg(index);
        return true;
    }
    VoiceMenus* menus = nullptr;
    EventLog& m_log;
};

// The voice subsystem over fakes.
struct VoiceHarness {
    EventLog log;
    FakeVoiceCommandControl recogniser{log};
    FakeDesktop desktop{log};
    FakeMainWindow mainWindow{log};
    CommandContext context{desktop, desktop, desktop, desktop, mainWindow};
    CSettings settings{QStringLiteral("/nonexistent")};
    VoiceMenus menus{recogniser, settings};

    VoiceHarness() { mainWindow.menus = &menus; }
    int32_t menu() const { return menus.VoiceMenu(); }
    QStringList menuTexts() { return recogniser.commandTexts(menu()); }
};
