// VoiceCommands.INI: any file loads, and a save followed by a load gives back the
// commands as they were loaded.

#include "app/voice/BuiltInCommands.h"
#include "app/voice/CVoiceCommand.h"
#include "tests/fakes/VoiceFakes.h"
#include "tests/fuzz/FuzzSupport.h"

#include <QFileInfo>
#include <QLoggingCategory>

namespace {

QStringList fieldsOf(const BuiltInCommands& commands)
{
    QStringList fields;
    for (int i = 0; i < commands.count(); ++i) {
        const CVoiceCommand& c = commands.at(i);
        fields << c.m_Voice << c.m_Description << c.m_Gesture << c.m_WhatToSay << c.m_Cmd
               << QString::number(c.m_Active) << QString::number(c.m_Type) << QString::number(c.m_MessageID)
               << QString::number(c.m_WParam) << QString::number(c.m_LParam);
    }
    return fields;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The problems found are the loader's answer, not news: keep the output readable.
    static const bool quiet = [] {
        QLoggingCategory::setFilterRules(QStringLiteral("vorlix.*=false"));
        return true;
    }();
    (void)quiet;
    const QString folder = QFileInfo(QString::fromStdString(
        fuzz::fileWith(fuzz::view(data, size), "VoiceCommands.INI"))).absolutePath();
    VoiceHarness harness;
    BuiltInCommands commands(harness.menus, harness.context);
    (void)commands.LoadVoiceCommands(folder);
    const QStringList loaded = fieldsOf(commands);
    if (!commands.SaveVoiceCommands(folder))
        return 0;
    (void)commands.LoadVoiceCommands(folder);
    fuzz::expect(fieldsOf(commands) == loaded, "a save and a load give back what was loaded");
    return 0;
}
