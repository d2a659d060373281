#pragma once
// A recording stand-in for the agent control: every request and setting reaches one
// shared log as a text line, in the order issued ("Load VorlixAgent /x/merlin.acs",
// "MoveTo 10000 10000", "Show fast", "Play Greet", "Speak <text>", "Hide", "Stop").
// Characters load from any path; their design size and animations come from
// `designs` (keyed by file name), and a file name in `broken` fails to load.

#include "platform/agent/AgentControl.h"

#include <QFileInfo>
#include <QStringList>

#include <map>
#include <memory>
#include <set>

struct FakeAgentDesign {
    int width = 100, height = 80;
    QStringList animations{"Greet", "Read", "Announce"};
};

// The character is its own balloon.
class FakeAgentCharacter : public AgentCharacter, public AgentBalloon {
public:
    FakeAgentCharacter(QStringList& log, FakeAgentDesign design) : m_log(log), m_design(std::move(design)) {}
    void setLanguageID(int languageId) override { m_log << QStringLiteral("LanguageID %1").arg(languageId); }
    int originalWidth() const override { return m_design.width; }
    int originalHeight() const override { return m_design.height; }
    int16_t width() const override { return m_width; }
    int16_t height() const override { return m_height; }
    void setWidth(int16_t pixels) override { m_width = pixels, m_log << QStringLiteral("Width %1").arg(pixels); }
    void setHeight(int16_t pixels) override { m_height = pixels, m_log << QStringLiteral("Height %1").arg(pixels); }
    FakeAgentCharacter& balloon() override { return *this; }
    QStringList animationNames() const override { return m_design.animations; }
    int style() const override { return m_style; }
    void setStyle(int style) override { m_style = style, m_log << QStringLiteral("BalloonStyle %1").arg(style); }
    void setFontName(const QString& family) override { m_log << QStringLiteral("BalloonFontName ") + family; }
    void setFontSize(int points) override { m_log << QStringLiteral("BalloonFontSize %1").arg(points); }
    void moveTo(int16_t x, int16_t y) override { m_log << QStringLiteral("MoveTo %1 %2").arg(x).arg(y); }
    void show(bool fast) override { m_log << (fast ? QStringLiteral("Show fast") : QStringLiteral("Show")); }
    void hide(bool fast) override { m_log << (fast ? QStringLiteral("Hide fast") : QStringLiteral("Hide")); }
    Result<void> play(const QString& animation) override
    {
        m_log << QStringLiteral("Play ") + animation;
        if (!m_design.animations.contains(animation))
            return Error{QStringLiteral("no animation ") + animation};
        return {};
    }
    void speak(const QString& text) override { m_log << QStringLiteral("Speak ") + text; }
    void stop() override { m_log << QStringLiteral("Stop"); }
    int m_style = 0;

private:
    QStringList& m_log;
    FakeAgentDesign m_design;
    int16_t m_width = int16_t(m_design.width), m_height = int16_t(m_design.height);
};

class FakeAgentCharacters : public AgentCharacters {
public:
    Result<void> load(const QString& id, const QString& path) override
    {
        log << QStringLiteral("Load %1 %2").arg(id, path);
        const QString name = QFileInfo(path).fileName();
        if (broken.count(name))
            return Error{QStringLiteral(" (the file is damaged)")};
        loaded[id] = std::make_unique<FakeAgentCharacter>(log, designs.count(name) ? designs[name] : FakeAgentDesign{});
        return {};
    }
    Result<void> unload(const QString& id) override
    {
        log << QStringLiteral("Unload ") + id;
        if (!loaded.erase(id))
            return Error{QStringLiteral("nothing loaded")};
        return {};
    }
    FakeAgentCharacter* item(const QString& id) override { return loaded.count(id) ? loaded[id].get() : nullptr; }

    QStringList log;
    std::map<QString, FakeAgentDesign> designs;
    std::set<QString> broken;
    std::map<QString, std::unique_ptr<FakeAgentCharacter>> loaded;
};
