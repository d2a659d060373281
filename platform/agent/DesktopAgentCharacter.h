#pragma once
// One loaded character on the desktop: its window and balloon, and the queue of its
// requests, carried out one after the other on the UI thread. Show, Hide, Play,
// Speak and MoveTo return at once; Stop ends the current request and drops the
// pending ones, so what the caller issues next runs at once. While the queue is
// empty and the character is visible it blinks and looks around now and then.

#include "platform/agent/AgentControl.h"
#include "platform/agent/CharacterFile.h"
#include "platform/agent/CharacterRenderer.h"
#include "platform/agent/SpeechBalloon.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPoint>
#include <QTimer>

#include <deque>
#include <functional>
#include <memory>
#include <optional>

class AgentWindow;
class EspeakUtterance;
class QAudioSink;
class QIODevice;

class DesktopAgentBalloon : public AgentBalloon {
public:
    int style() const override { return m_style; }
    void setStyle(int style) override;
    void setFontName(const QString& family) override;
    void setFontSize(int points) override;   // 1..kMaxFontPoints; others are ignored

    static constexpr int kMaxFontPoints = 96;
    bool isOn() const { return m_style & kBalloonOn; }
    const QFont& font() const { return m_font; }
    std::function<void()> changed;

private:
    int m_style = kBalloonOn;
    QFont m_font;
};

class DesktopAgentCharacter : public QObject, public AgentCharacter {
    Q_OBJECT
public:
    static constexpr int kMaxDisplayedSide = 4096;   // pixels; larger sizes are ignored

    DesktopAgentCharacter(CharacterFile file, QObject* parent = nullptr);
    ~DesktopAgentCharacter() override;

    void setLanguageID(int languageId) override { m_languageId = languageId; }
    int originalWidth() const override { return m_file.designSize.width(); }
    int originalHeight() const override { return m_file.designSize.height(); }
    int16_t width() const override { return int16_t(m_size.width()); }
    int16_t height() const override { return int16_t(m_size.height()); }
    void setWidth(int16_t pixels) override;
    void setHeight(int16_t pixels) override;
    AgentBalloon& balloon() override { return m_balloon; }
    QStringList animationNames() const override { return m_file.animationNames(); }

    void moveTo(int16_t x, int16_t y) override;
    void show(bool fast) override;
    void hide(bool fast) override;
    Result<void> play(const QString& animation) override;
    void speak(const QString& text) override;
    void stop() override;

    // Beyond the contract: state for the tool, the tests and the benchmarks.
    bool isVisible() const { return m_visible; }
    bool isBusy() const { return m_current.has_value() || !m_pending.empty(); }
    QPoint position() const { return m_position; }
    const AgentWindow& window() const { return *m_window; }
    const AgentWindow& balloonWindow() const { return *m_balloonWindow; }

signals:
    void requestStarted(const QString& operation);
    void requestFinished(const QString& operation);
    void idle();   // the queue ran empty
    void spokenTextChanged(const QString& spoken);

private:
    struct Request {
        enum class Kind { Show, Hide, Play, Speak, MoveTo } kind;
        bool fast = false;
        QString text;   // animation name or words
        QPoint target;
    };
    static QString operationName(Request::Kind kind);

    void issue(Request request);
    void startNext();
    void finishCurrent();
    void run(const Request& request);
    void playFrames(const CharacterAnimation& animation, std::function<void()> done);
    void nextFrame();
    void moveStep();
    void showFrame(const std::vector<int>& layers);
    void refreshCharacter();
    void refreshBalloon();
    void setVisible(bool visible);
    void placeWindows();
    void endActivity();
    void scheduleIdleAnimation();
    void playIdleAnimation();
    QIODevice* audioOutput();

    CharacterFile m_file;
    CharacterRenderer m_renderer;
    DesktopAgentBalloon m_balloon;
    std::unique_ptr<AgentWindow> m_window;
    std::unique_ptr<AgentWindow> m_balloonWindow;
    SpeechBalloon m_balloonLook;
    int m_languageId = kLanguageEnglishUS;
    QSize m_size;
    QPoint m_position;
    bool m_visible = false;
    std::vector<int> m_layers;

    std::deque<Request> m_pending;
    std::optional<Request> m_current;

    // The animation being played (a request's or an idle one).
    const CharacterAnimation* m_animation = nullptr;
    size_t m_frameIndex = 0;
    std::function<void()> m_animationDone;
    QTimer m_frameTimer;

    QPoint m_moveFrom;
    int m_moveMs = 0;
    QElapsedTimer m_moveClock;
    QTimer m_moveTimer;

    std::unique_ptr<EspeakUtterance> m_utterance;
    QString m_balloonText;   // what the balloon shows, while it shows
    QString m_balloonSpoken;
    QTimer m_balloonLinger;
    std::unique_ptr<QAudioSink> m_audioSink;
    QIODevice* m_audioDevice = nullptr;
    bool m_audioUnavailable = false;

    QTimer m_idleTimer;
};
