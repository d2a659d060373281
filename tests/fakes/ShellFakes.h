#pragma once
// Recording fakes of the platform layers the main window works through.

#include "app/shell/PlatformServices.h"
#include "app/shell/UserMessages.h"
#include "platform/agent/AgentControl.h"
#include "platform/desktop/KeySender.h"
#include "platform/desktop/ScreenMetrics.h"
#include "platform/desktop/ShellLauncher.h"
#include "platform/desktop/TrayIconBackend.h"
#include "platform/desktop/WindowMessenger.h"
#include "platform/vcmd/VoiceCommandControl.h"
#include "tests/fakes/FakeAgent.h"
#include "tests/fakes/FakeClipboard.h"
#include "tests/fakes/FakeMokavelExports.h"

#include <QStringList>

#include <functional>
#include <vector>

struct FakeTray : TrayIconBackend {
    struct Sent {
        int command;
        NotifyIconData data;
    };
    std::vector<Sent> sent;
    Callback callback;
    bool available = true;

    bool notify(int command, const NotifyIconData& data) override
    {
        sent.push_back({command, data});
        return true;
    }
    void setCallback(Callback cb) override { callback = std::move(cb); }
    bool isAvailable() const override { return available; }
};

struct FakeScreen : ScreenMetrics {
    int widthPixels() const override { return 1280; }
    int heightPixels() const override { return 800; }
    double twipsPerPixelX() const override { return 15; }
    double twipsPerPixelY() const override { return 15; }
};

struct FakeMessages : UserMessages {
    QStringList shown;
    // Runs while the message is up, as a user's actions would while the real box waits.
    std::function<void(const QString&)> whileShown;
    void information(const QString& text) override { show(text); }
    void critical(const QString& text) override { show(text); }

private:
    void show(const QString& text)
    {
        shown << text;
        if (whileShown)
            whileShown(text);
    }
};

struct FakeRecogniser : VoiceCommandControl {
    QStringList calls;
    QStringList injected;
    bool fire = true;
    void setControlProperty(int id, int32_t value) override { calls << QStringLiteral("property %1=%2").arg(id).arg(value); }
    Result<int32_t> createMenu(const QString&, const QString&, int32_t) override { calls << "createMenu"; return 7; }
    void addEntry(int32_t, int32_t, const QString& command, const QString&, const QString&, int32_t,
                  const QString&) override { calls << "addEntry " + command; }
    void activateMenu(int32_t) override { calls << "activateMenu"; }
    void deactivateMenu(int32_t) override { calls << "deactivateMenu"; }
    int32_t countEntries(int32_t) override { return 0; }
    bool getEntry(int32_t, int32_t, QString&, QString&, QString&, int32_t&, QString&) override { return false; }
    void removeEntry(int32_t, int32_t) override {}
    void setThreshold(int32_t value) override { calls << QStringLiteral("threshold %1").arg(value); }
    void showTraining(QWidget*, const QString& title) override { calls << "training " + title; }
    bool isTraining() const override { return false; }
    QString audioProblem() const override { return problem; }
    void setProblem(const QString& message) { problem = message, emit audioProblemChanged(message); }
    QString problem;
    void releaseMenu(int32_t) override { calls << "releaseMenu"; }
    bool injectPhrase(const QString& phrase) override
    {
        injected << phrase;
        if (fire)
            emit phraseRecognized(0, "MainMenu", 0, phrase, 100, phrase, phrase);
        return fire;
    }
};

struct NullLauncher : ShellLauncher {
    bool open(const QString&, const QString&, int) override { return true; }
};
struct NullKeys : KeySender {
    void keybdEvent(uint8_t, uint8_t, uint32_t) override {}
    int16_t vkKeyScan(char) override { return -1; }
};
struct NullMessenger : WindowMessenger {
    void postToForeground(uint32_t, int32_t, int32_t) override {}
};

// All fakes together, handed to the windows as PlatformServices.
struct FakePlatform {
    FakeAgentCharacters agent;
    FakeRecogniser recogniser;
    NullLauncher launcher;
    NullKeys keys;
    NullMessenger messenger;
    FakeClipboard clipboard;
    FakeScreen screen;
    FakeTray tray;
    FakeMessages messages;
    FakeMokavelExports mokavel;
    PlatformServices services{agent, recogniser, launcher, keys, messenger, clipboard, screen, tray, messages, mokavel};
};
