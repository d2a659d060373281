#pragma once
// The Characters collection on the desktop: loads character files into
// DesktopAgentCharacter objects under caller-chosen ids (compared ignoring case).
// Loading an id again replaces the character held under it. UI thread only.

#include "platform/agent/AgentControl.h"
#include "platform/agent/DesktopAgentCharacter.h"

#include <map>
#include <memory>

class DesktopAgentCharacters : public AgentCharacters {
public:
    Result<void> load(const QString& id, const QString& path) override;
    Result<void> unload(const QString& id) override;
    DesktopAgentCharacter* item(const QString& id) override;

private:
    std::map<QString, std::unique_ptr<DesktopAgentCharacter>> m_characters;   // by lower-case id
};
