#pragma once
// A Start list over fakes, in a program folder of the test's own.

#include "app/startlist/StartList.h"
#include "app/voice/CVoiceCommand.h"
#include "tests/fakes/FakeMessageWindows.h"
#include "tests/fakes/FakeMokavelExports.h"
#include "tests/fakes/FakeQuestions.h"
#include "tests/fakes/VoiceFakes.h"

class StartListFixture : public IsolatedTest {
protected:
    StartListFixture()
    {
        EXPECT_TRUE(h.menus.CreateVoiceMenu().ok());
        library.startList = {{"Editor", "/usr/bin/editor", "--new"}, {"Mail", "/usr/bin/mail", ""},
                             {"Terminal", "/usr/bin/term", "-e 'top'"}};
    }

    QStringList rowTexts() const
    {
        QStringList texts;
        for (const StartList::Row& row : list.rows())
            texts << row.text + (row.icon == StartList::kIconEnabled ? "" : " (off)");
        return texts;
    }
    // The list as the next start of the program builds it.
    std::unique_ptr<StartList> nextStart(MokavelExports& from)
    {
        return std::make_unique<StartList>(env.root(), h.settings, h.menus, h.context, from, messages, questions);
    }
    // The phrase's registered command, or nullptr.
    const VoiceCommandObject* registered(const QString& phrase) const { return h.menus.GetVCCommand(phrase); }
    void selectText(const QString& text)
    {
        for (size_t i = 0; i < list.rows().size(); ++i)
            if (list.rows()[i].text == text)
                return list.selectRow(static_cast<int>(i));
        ADD_FAILURE() << "no row " << text.toStdString();
    }

    VoiceHarness h;
    FakeMokavelExports library;
    FakeMessageWindows messages;
    FakeQuestions questions;
    StartList list{env.root(), h.settings, h.menus, h.context, library, messages, questions};
};
