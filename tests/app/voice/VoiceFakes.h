#pragma once
// Fakes of everything the voice subsystem reaches. Every action is written to one shared
// log as a short line, so a test reads both what happened and in which order.

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

class FakeVoiceCommandControl : public VoiceCommandControl {
public:
    struct Entry {
        int32_t id;
        QString command, description, category;
        int32_t flags;
        QString action;
    };

    explicit FakeVoiceCommandControl(EventLog& log) : m_log(log) {}

    std::optional<QString> createFailure;   // createMenu fails with this message
    std::map<int32_t, std::vector<Entry>> menus;
    std::set<int32_t> activeMenus;
    std::vector<int32_t> thresholds;

    const std::vector<Entry>& entries(int32_t menu) { return menus[menu]; }
    QStringList commandTexts(int32_t menu)
    {
        QStringList texts;
        for (const Entry& entry : menus[menu])
            texts << entry.command;
        return texts;
    }
    bool isActive(int32_t menu) const { return activeMenus.count(menu) > 0; }

    // The raw event, as the recogniser raises it.
    void hear(const QString& command) { emit phraseRecognized(1, QStringLiteral("a"), 2, QStringLiteral("b"), 3, QStringLiteral("c"), command); }

    void setControlProperty(int dispatchId, int32_t value) override
    {
        m_log << QStringLiteral("property %1 %2").arg(dispatchId).arg(value);
    }
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
        if (auto it = menus.find(menu); it != menus.end())
            it->second.push_back(Entry{id, command, description, category, flags, action});
    }
    void activateMenu(int32_t menu) override
    {
        if (menus.count(menu))
            activeMenus.insert(menu);
    }
    void deactivateMenu(int32_t menu) override { activeMenus.erase(menu); }
    int32_t countEntries(int32_t menu) override
    {
        auto it = menus.find(menu);
        return it == menus.end() ? 0 : static_cast<int32_t>(it->second.size());
    }
    bool getEntry(int32_t menu, int32_t position, QString& command, QString& description, QString& category,
                  int32_t& flags, QString& action) override
    {
        if (position < 1 || position > countEntries(menu))
            return false;
        const Entry& entry = menus[menu][static_cast<size_t>(position - 1)];
        command = entry.command;
        description = entry.description;
        category = entry.category;
        flags = entry.flags;
        action = entry.action;
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
    // Heard only from an active menu; the entry's own command text is reported.
    bool injectPhrase(const QString& phrase) override
    {
        for (int32_t menu : activeMenus) {
            for (const Entry& entry : menus[menu]) {
                if (entry.command.compare(phrase, Qt::CaseInsensitive) == 0) {
                    hear(entry.command);
                    return true;
                }
            }
        }
        return false;
    }

    static constexpr int32_t kHandle = 41;

private:
    EventLog& m_log;
};

struct FakeSpeech : CharacterSpeech {
    explicit FakeSpeech(EventLog& log) : m_log(log) {}
    void SayAndPlay(const QString& message, const QString& animation, bool hide, bool ignoreCharacterMode) override
    {
        m_log << QStringLiteral("say %1|%2|%3|%4").arg(message, animation).arg(hide).arg(ignoreCharacterMode);
    }
    void StopAgent() override { m_log << QStringLiteral("stop"); }
    EventLog& m_log;
};

struct FakeLauncher : ShellLauncher {
    explicit FakeLauncher(EventLog& log) : m_log(log) {}
    void open(const QString& target, const QString& parameters, int showCommand) override
    {
        m_log << QStringLiteral("open %1|%2|%3").arg(target, parameters).arg(showCommand);
    }
    EventLog& m_log;
};

struct FakeMessenger : WindowMessenger {
    explicit FakeMessenger(EventLog& log) : m_log(log) {}
    void postToForeground(uint32_t message, int32_t wParam, int32_t lParam) override
    {
        m_log << QStringLiteral("post %1 %2 %3").arg(message).arg(wParam).arg(lParam);
    }
    EventLog& m_log;
};

struct FakeKeys : KeySender {
    explicit FakeKeys(EventLog& log) : m_log(log) {}
    void keybdEvent(uint8_t virtualKey, uint8_t scanCode, uint32_t flags) override
    {
        m_log << QStringLiteral("key %1 %2 %3").arg(virtualKey).arg(scanCode).arg(flags);
    }
    int16_t vkKeyScan(char) override { return -1; }
    EventLog& m_log;
};

// Forwards Activate to the voice menus, as the main window does.
struct FakeMainWindow : MainWindowActions {
    explicit FakeMainWindow(EventLog& log) : m_log(log) {}
    void Activate(bool active) override
    {
        m_log << QStringLiteral("activate %1").arg(active);
        if (menus)
            menus->Activate(active);
    }
    void Launch() override { m_log << QStringLiteral("launch"); }
    void hideMainWindow() override { m_log << QStringLiteral("hide"); }
    bool selectTab(int index) override
    {
        if (index < 0 || index >= kPages)
            return false;
        m_log << QStringLiteral("tab %1").arg(index);
        return true;
    }
    static constexpr int kPages = 7;
    VoiceMenus* menus = nullptr;
    EventLog& m_log;
};

// The whole voice subsystem over fakes.
struct VoiceHarness {
    EventLog log;
    FakeVoiceCommandControl recogniser{log};
    FakeSpeech speech{log};
    FakeLauncher launcher{log};
    FakeMessenger messenger{log};
    FakeKeys keys{log};
    FakeMainWindow mainWindow{log};
    CommandContext context{speech, launcher, messenger, keys, mainWindow};
    CSettings settings{QStringLiteral("/nonexistent")};
    VoiceMenus menus{recogniser, settings};

    VoiceHarness() { mainWindow.menus = &menus; }
    int32_t menu() const { return menus.VoiceMenu(); }
};
