#pragma once
// The Characters collection on the desktop: loads character files into
// DesktopAgentCharacter objects under caller-chosen ids (compared ignoring case).
// Loading an id again replaces the character held under it. UI thread only.

#include "platform/agent/AgentControl.h"
#include "platform/agent/DesktopAgentCharacter.h"

#include <functional>
#include <map>
#include <memory>

class DesktopAgentCharacters : public AgentCharacters {
public:
    Result<void> load(const QString& id, const QString& path) override;
    Result<void> unload(const QString& id) override;
    DesktopAgentCharacter* item(const QString& id) override;

    // Told true when a character starts speaking and false when it stops, so that a
    // listening recogniser can ignore the program's own voice. Applies to every
    // character loaded from then on.
    void setSpeakingListener(std::function<void(bool speaking)> listener);

private:
    std::function<void(bool speaking)> m_speakingListener;
    std::map<QString, std::unique_ptr<DesktopAgentCharacter>> m_characters;   // by lower-case id
};
