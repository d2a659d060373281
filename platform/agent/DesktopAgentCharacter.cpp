#include "platform/agent/DesktopAgentCharacter.h"

#include "platform/agent/AgentRequestLog.h"
#include "platform/agent/AgentWindow.h"
#include "platform/agent/EspeakUtterance.h"
#include "platform/espeak/EspeakLibrary.h"

#include <QAudioSink>
#include <QDir>
#include <QGuiApplication>
#include <QLoggingCategory>
#include <QMediaDevices>
#include <QRandomGenerator>
#include <QScreen>

#include <algorithm>
#include <cmath>

Q_LOGGING_CATEGORY(lcAgent, "vorlix.agent")

namespace {

constexpr int kMoveTickMs = 16;
constexpr int kBalloonLingerMs = 1500;
constexpr int kIdleMinMs = 5000;
constexpr int kIdleMaxMs = 12000;

QRect screenArea(const QRect& around)
{
    QScreen* screen = QGuiApplication::screenAt(around.center());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
}

} // namespace

// ---- balloon ----------------------------------------------------------------

void DesktopAgentBalloon::setStyle(int style)
{
    m_style = style;
    if (changed)
        changed();
}

void DesktopAgentBalloon::setFontName(const QString& family)
{
    if (family.trimmed().isEmpty())
        return;
    m_font.setFamily(family.trimmed());
    if (changed)
        changed();
}

void DesktopAgentBalloon::setFontSize(int points)
{
    if (points < 1 || points > kMaxFontPoints)
        return;
    m_font.setPointSize(points);
    if (changed)
        changed();
}

// ---- character --------------------------------------------------------------

DesktopAgentCharacter::DesktopAgentCharacter(CharacterFile file, QObject* parent)
    : QObject(parent)
    , m_file(std::move(file))
    , m_renderer(m_file)
    , m_window(std::make_unique<AgentWindow>(true))
    , m_balloonWindow(std::make_unique<AgentWindow>(false))
    , m_size(m_file.designSize)
    , m_layers(m_file.pose)
{
    m_window->setWindowTitle(m_file.name);
    m_balloonLook.setFont(m_balloon.font());
    m_balloon.changed = [this] {
        m_balloonLook.setFont(m_balloon.font());
        refreshBalloon();
    };
    const QRect screen = screenArea(QRect());
    m_position = screen.center() - QPoint(m_size.width() / 2, m_size.height() / 2);

    m_frameTimer.setSingleShot(true);
    connect(&m_frameTimer, &QTimer::timeout, this, &DesktopAgentCharacter::nextFrame);
    m_moveTimer.setInterval(kMoveTickMs);
    connect(&m_moveTimer, &QTimer::timeout, this, &DesktopAgentCharacter::moveStep);
    m_balloonLinger.setSingleShot(true);
    connect(&m_balloonLinger, &QTimer::timeout, this, [this] {
        m_balloonText.clear();
        refreshBalloon();
    });
    m_idleTimer.setSingleShot(true);
    connect(&m_idleTimer, &QTimer::timeout, this, &DesktopAgentCharacter::playIdleAnimation);
    connect(m_window.get(), &AgentWindow::dragged, this, [this](QPoint topLeft) {
        m_position = topLeft;
        refreshBalloon();
    });
}

DesktopAgentCharacter::~DesktopAgentCharacter()
{
    m_utterance.reset();   // before the sink it writes to
}

QString DesktopAgentCharacter::operationName(Request::Kind kind)
{
    switch (kind) {
    case Request::Kind::Show: return QStringLiteral("Show");
    case Request::Kind::Hide: return QStringLiteral("Hide");
    case Request::Kind::Play: return QStringLiteral("Play");
    case Request::Kind::Speak: return QStringLiteral("Speak");
    case Request::Kind::MoveTo: return QStringLiteral("MoveTo");
    }
    return {};
}

void DesktopAgentCharacter::setWidth(int16_t pixels)
{
    if (pixels < 1 || pixels > kMaxDisplayedSide)
        return;
    m_size.setWidth(pixels);
    refreshCharacter();
    refreshBalloon();
}

void DesktopAgentCharacter::setHeight(int16_t pixels)
{
    if (pixels < 1 || pixels > kMaxDisplayedSide)
        return;
    m_size.setHeight(pixels);
    refreshCharacter();
    refreshBalloon();
}

// ---- issuing ----------------------------------------------------------------

void DesktopAgentCharacter::moveTo(int16_t x, int16_t y)
{
    AgentRequestLog::append({QStringLiteral("MoveTo"), QString::number(x), QString::number(y)});
    issue({Request::Kind::MoveTo, false, {}, QPoint(x, y)});
}

void DesktopAgentCharacter::show(bool fast)
{
    AgentRequestLog::append({QStringLiteral("Show"), fast ? QStringLiteral("fast") : QStringLiteral("slow")});
    issue({Request::Kind::Show, fast, {}, {}});
}

void DesktopAgentCharacter::hide(bool fast)
{
    AgentRequestLog::append({QStringLiteral("Hide"), fast ? QStringLiteral("fast") : QStringLiteral("slow")});
    issue({Request::Kind::Hide, fast, {}, {}});
}

Result<void> DesktopAgentCharacter::play(const QString& animation)
{
    AgentRequestLog::append({QStringLiteral("Play"), animation});
    const CharacterAnimation* found = m_file.findAnimation(animation);
    if (!found)
        return Error{QStringLiteral("The character has no animation \"%1\".").arg(animation)};
    issue({Request::Kind::Play, false, found->name, {}});
    return {};
}

void DesktopAgentCharacter::speak(const QString& text)
{
    AgentRequestLog::append({QStringLiteral("Speak"), text});
    issue({Request::Kind::Speak, false, text, {}});
}

void DesktopAgentCharacter::issue(Request request)
{
    m_pending.push_back(std::move(request));
    // Started from the event loop, never inside the caller's call.
    if (!m_current && m_pending.size() == 1)
        QMetaObject::invokeMethod(this, &DesktopAgentCharacter::startNext, Qt::QueuedConnection);
}

void DesktopAgentCharacter::stop()
{
    AgentRequestLog::append({QStringLiteral("Stop")});
    m_pending.clear();
    if (m_audioSink) {
        // Drop what the device still holds, so the voice ends with the request.
        m_audioSink->reset();
        m_audioDevice = m_audioSink->start();
    }
    const bool wasHiding = m_current && m_current->kind == Request::Kind::Hide;
    endActivity();
    m_balloonText.clear();
    refreshBalloon();
    if (wasHiding)
        setVisible(false);
    if (m_current)
        finishCurrent();
    else
        scheduleIdleAnimation();
}

// ---- carrying out -------------------------------------------------------------

void DesktopAgentCharacter::startNext()
{
    if (m_current)
        return;
    if (m_pending.empty()) {
        scheduleIdleAnimation();
        emit idle();
        return;
    }
    m_idleTimer.stop();
    if (m_animation)   // an idle animation gives way at once
        endActivity();
    m_current = m_pending.front();
    m_pending.pop_front();
    emit requestStarted(operationName(m_current->kind));
    run(*m_current);
}

void DesktopAgentCharacter::finishCurrent()
{
    if (!m_current)
        return;
    const QString operation = operationName(m_current->kind);
    m_current.reset();
    emit requestFinished(operation);
    startNext();
}

void DesktopAgentCharacter::run(const Request& request)
{
    const auto finish = [this] { finishCurrent(); };
    switch (request.kind) {
    case Request::Kind::Show: {
        if (m_visible)
            return finish();
        const CharacterAnimation* animation = request.fast ? nullptr : m_file.findAnimation(QStringLiteral("Show"));
        showFrame(animation ? animation->frames.front().layers : m_file.pose);
        setVisible(true);
        if (!animation)
            return finish();
        return playFrames(*animation, [this] {
            showFrame(m_file.pose);
            finishCurrent();
        });
    }
    case Request::Kind::Hide: {
        if (!m_visible)
            return finish();
        m_balloonText.clear();
        refreshBalloon();
        const CharacterAnimation* animation = request.fast ? nullptr : m_file.findAnimation(QStringLiteral("Hide"));
        if (!animation) {
            setVisible(false);
            return finish();
        }
        return playFrames(*animation, [this] {
            setVisible(false);
            showFrame(m_file.pose);
            finishCurrent();
        });
    }
    case Request::Kind::Play: {
        const CharacterAnimation* animation = m_file.findAnimation(request.text);
        // Nobody would see it; the queue need not wait for it.
        if (!animation || !m_visible)
            return finish();
        return playFrames(*animation, [this] {
            showFrame(m_file.pose);
            finishCurrent();
        });
    }
    case Request::Kind::Speak: {
        m_balloonLinger.stop();
        QString wavFolder = qEnvironmentVariable("VORLIX_TTS_OUT");
        if (!wavFolder.isEmpty() && !QDir().mkpath(wavFolder)) {
            qCWarning(lcAgent) << "cannot create" << wavFolder;
            wavFolder.clear();
        }
        QIODevice* audioOut = audioOutput();
        m_utterance = std::make_unique<EspeakUtterance>(SpeechText::parse(request.text), m_languageId,
                                                        m_audioSink.get(), audioOut, wavFolder);
        m_balloonText = m_utterance->displayText();
        m_balloonSpoken.clear();
        connect(m_utterance.get(), &EspeakUtterance::progressed, this, [this] {
            const QString spoken = m_utterance->displayText().left(m_utterance->spokenLength());
            if (spoken.size() != m_balloonSpoken.size()) {
                m_balloonSpoken = spoken;
                refreshBalloon();
                emit spokenTextChanged(spoken);
            }
            refreshCharacter();
        });
        connect(m_utterance.get(), &EspeakUtterance::finished, this, [this] {
            // Deleted later: this runs inside the utterance's own signal.
            m_utterance.release()->deleteLater();
            refreshCharacter();
            m_balloonLinger.start(kBalloonLingerMs);
            finishCurrent();
        });
        refreshBalloon();
        m_utterance->start();
        return;
    }
    case Request::Kind::MoveTo: {
        const QPoint delta = request.target - m_position;
        const double distance = std::hypot(delta.x(), delta.y());
        if (!m_visible || distance < 1) {
            m_position = request.target;
            m_window->move(m_position);
            refreshBalloon();
            return finish();
        }
        m_moveFrom = m_position;
        m_moveMs = std::clamp(int(distance * 1.2), 200, 900);
        m_moveClock.start();
        m_moveTimer.start();
        return;
    }
    }
}

void DesktopAgentCharacter::playFrames(const CharacterAnimation& animation, std::function<void()> done)
{
    m_animation = &animation;
    m_frameIndex = 0;
    m_animationDone = std::move(done);
    showFrame(animation.frames.front().layers);
    m_frameTimer.start(animation.frames.front().durationMs);
}

void DesktopAgentCharacter::nextFrame()
{
    if (!m_animation)
        return;
    if (++m_frameIndex >= m_animation->frames.size()) {
        m_animation = nullptr;
        if (auto done = std::exchange(m_animationDone, nullptr))
            done();
        return;
    }
    const CharacterFrame& frame = m_animation->frames[m_frameIndex];
    showFrame(frame.layers);
    m_frameTimer.start(frame.durationMs);
}

void DesktopAgentCharacter::moveStep()
{
    const double t = std::min(1.0, double(m_moveClock.elapsed()) / m_moveMs);
    const double eased = t < 0.5 ? 2 * t * t : 1 - std::pow(-2 * t + 2, 2) / 2;
    const QPoint target = m_current ? m_current->target : m_position;
    m_position = m_moveFrom + (target - m_moveFrom) * eased;
    m_window->move(m_position);
    refreshBalloon();
    if (t >= 1) {
        m_moveTimer.stop();
        finishCurrent();
    }
}

// Cancels whatever runs now (request or idle animation) and returns to the resting frame.
void DesktopAgentCharacter::endActivity()
{
    m_frameTimer.stop();
    m_moveTimer.stop();
    m_idleTimer.stop();
    m_animation = nullptr;
    m_animationDone = nullptr;
    m_utterance.reset();
    showFrame(m_file.pose);
}

// ---- showing -----------------------------------------------------------------

void DesktopAgentCharacter::showFrame(const std::vector<int>& layers)
{
    m_layers = layers;
    refreshCharacter();
}

void DesktopAgentCharacter::refreshCharacter()
{
    if (!m_visible)
        return;
    std::vector<int> layers = m_layers;
    if (m_utterance && m_file.hasMouth()) {
        // The nearest shape the character has, for characters with only some of them.
        const int wanted = int(m_utterance->mouth());
        for (int distance = 0; distance < 3; ++distance) {
            const int shapes[] = {wanted - distance, wanted + distance};
            auto it = std::find_if(std::begin(shapes), std::end(shapes),
                                   [&](int shape) { return shape >= 0 && shape < 3 && m_file.mouths[size_t(shape)]; });
            if (it != std::end(shapes)) {
                layers.push_back(*m_file.mouths[size_t(*it)]);
                break;
            }
        }
    }
    m_window->setImage(m_renderer.frame(layers, m_size));
}

void DesktopAgentCharacter::refreshBalloon()
{
    const QRect character(m_position, m_size);
    const QRect screen = screenArea(character);
    if (!m_visible || !m_balloon.isOn() || m_balloonText.trimmed().isEmpty() || !screen.intersects(character)) {
        m_balloonWindow->hide();
        return;
    }
    bool tailDown = true;
    int tailX = 0;
    const QPoint topLeft = SpeechBalloon::placement(m_balloonLook.imageSize(m_balloonText), character, screen,
                                                    &tailDown, &tailX);
    m_balloonWindow->setImage(m_balloonLook.render(m_balloonText, m_balloonSpoken, tailDown, tailX));
    m_balloonWindow->move(topLeft);
    m_balloonWindow->show();
}

void DesktopAgentCharacter::setVisible(bool visible)
{
    if (visible == m_visible)
        return;
    m_visible = visible;
    if (visible) {
        refreshCharacter();
        m_window->move(m_position);
        m_window->show();
    } else {
        m_idleTimer.stop();
        m_balloonWindow->hide();
        m_window->hide();
    }
}

// ---- idle behaviour ------------------------------------------------------------

void DesktopAgentCharacter::scheduleIdleAnimation()
{
    if (m_visible)
        m_idleTimer.start(QRandomGenerator::global()->bounded(kIdleMinMs, kIdleMaxMs));
}

void DesktopAgentCharacter::playIdleAnimation()
{
    if (m_current || !m_pending.empty() || !m_visible || m_animation)
        return;
    static const char* const kIdleNames[] = {"Blink", "Blink", "Blink", "Idle1_1", "LookLeft", "LookRight"};
    const char* name = kIdleNames[QRandomGenerator::global()->bounded(int(std::size(kIdleNames)))];
    const CharacterAnimation* animation = m_file.findAnimation(QLatin1String(name));
    if (!animation)
        return scheduleIdleAnimation();
    playFrames(*animation, [this] {
        showFrame(m_file.pose);
        scheduleIdleAnimation();
    });
}

// ---- sound ---------------------------------------------------------------------

QIODevice* DesktopAgentCharacter::audioOutput()
{
    if (m_audioDevice || m_audioUnavailable)
        return m_audioDevice;
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    QAudioFormat format;
    format.setSampleRate(EspeakLibrary::acquire().sampleRate());
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Int16);
    if (device.isNull() || format.sampleRate() <= 0 || !device.isFormatSupported(format)) {
        qCInfo(lcAgent) << "no sound device for speech; speaking silently";
        m_audioUnavailable = true;
        return nullptr;
    }
    m_audioSink = std::make_unique<QAudioSink>(device, format);
    m_audioSink->setBufferSize(format.bytesForDuration(250000));
    m_audioDevice = m_audioSink->start();
    if (!m_audioDevice || m_audioSink->error() != QAudio::NoError) {
        qCInfo(lcAgent) << "the sound device failed; speaking silently";
        m_audioSink.reset();
        m_audioDevice = nullptr;
        m_audioUnavailable = true;
    }
    return m_audioDevice;
}
