#include "app/shell/AutoStart.h"

#include "platform/registry/Registry.h"

namespace {
constexpr std::string_view kValueName = "Vorlix";
}

namespace AutoStart {

QString entryText(const QString& programFile)
{
    // The entry is a command line: a path with blanks must stay one word.
    const QString program = programFile.contains(u' ') ? u'"' + programFile + u'"' : programFile;
    return program + QStringLiteral(" -AUTOSTART");
}

void SetAutoStart(bool enable, const QString& programFile)
{
    if (!registry::createKey(registry::Root::LocalMachine, registry::kRunKey))
        return;
    if (enable)
        registry::writeValue(registry::Root::LocalMachine, registry::kRunKey, kValueName,
                             entryText(programFile).toStdString());
    else
        registry::deleteValue(registry::Root::LocalMachine, registry::kRunKey, kValueName);
}

std::optional<bool> ReadAutoStart()
{
    if (!registry::createKey(registry::Root::LocalMachine, registry::kRunKey))
        return std::nullopt;
    return registry::readValue(registry::Root::LocalMachine, registry::kRunKey, kValueName).has_value();
}

} // namespace AutoStart
