#pragma once
// A macro folder in a temporary directory, the voice subsystem over fakes, and a clock
// standing at 12:05:12.34 unless a test moves it.

#include "app/macros/CMacro.h"
#include "app/macros/MacroList.h"
#include "tests/fakes/FakeClipboard.h"
#include "tests/fakes/VoiceFakes.h"

#include <QDir>
#include <QLocale>

class MacroTest : public IsolatedTest {
protected:
    void SetUp() override
    {
        QLocale::setDefault(QLocale::c());
        ASSERT_TRUE(voice.menus.CreateVoiceMenu().ok());
        voice.menus.ActivateMenus();
        QDir().mkpath(folder());
    }

    QString folder() const { return env.path(QStringLiteral("Macros")); }
    QString file(const QString& name) const { return QDir(folder()).filePath(name); }
    void writeMacroFile(const QString& name, const QByteArray& bytes) const
    {
        IsolatedEnvironment::writeFile(file(name), bytes);
    }
    QStringList fileNames() const { return QDir(folder()).entryList(QDir::Files | QDir::Hidden, QDir::Name); }

    VoiceHarness voice;
    FakeClipboard clipboard{voice.log};
    MacroContext context{voice.desktop, clipboard, voice.desktop};
    int clockMs = 43512340;
    MacroList macros{voice.menus, context, folder(), [this] { return clockMs; }};
};
