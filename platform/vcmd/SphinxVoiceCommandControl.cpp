#include "platform/vcmd/SphinxVoiceCommandControl.h"

#include "platform/vcmd/PhraseNormalizer.h"
#include "platform/vcmd/ToolRunner.h"
#include "platform/vcmd/TrainingDialog.h"

#include <QFileInfo>
#include <QLoggingCategory>
#include <QSet>
#include <QSettings>

Q_LOGGING_CATEGORY(lcVoiceCommand, "vorlix.vcmd", QtInfoMsg)

namespace {

const QString kModelDir = QStringLiteral("/usr/share/pocketsphinx/model/en-us");

AudioInputSettings inputFromEnvironment()
{
    AudioInputSettings input;
    input.wavPath = qEnvironmentVariable("VORLIX_AUDIO_IN");
    input.deviceName = qEnvironmentVariableIsSet("VORLIX_AUDIO_DEVICE")
        ? qEnvironmentVariable("VORLIX_AUDIO_DEVICE")
        : QSettings(QStringLiteral("Vorlix"), QStringLiteral("VoiceCommands")).value(QStringLiteral("InputDevice")).toString();
    input.adaptationFile = SpeakerAdaptation::storedTransform(SpeakerAdaptation::defaultFolder());
    return input;
}

} // namespace

SphinxVoiceCommandControl::SphinxVoiceCommandControl(QObject* parent)
    : SphinxVoiceCommandControl(inputFromEnvironment(), parent)
{
}

SphinxVoiceCommandControl::SphinxVoiceCommandControl(const AudioInputSettings& input, QObject* parent)
    : VoiceCommandControl(parent), m_input(input), m_adaptationFolder(SpeakerAdaptation::defaultFolder()),
      m_tools(std::make_shared<ProcessToolRunner>())
{
    qRegisterMetaType<Hearing>();
    m_worker = new RecognitionWorker(input);
    m_worker->moveToThread(&m_thread);
    connect(&m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
    connect(m_worker, &RecognitionWorker::heard, this, &SphinxVoiceCommandControl::onHeard);
    connect(m_worker, &RecognitionWorker::problem, this, &SphinxVoiceCommandControl::onProblem);
    connect(m_worker, &RecognitionWorker::levelMeasured, this, &SphinxVoiceCommandControl::levelMeasured);
    connect(m_worker, &RecognitionWorker::noiseMeasured, this, &SphinxVoiceCommandControl::noiseMeasured);
    connect(m_worker, &RecognitionWorker::inputFinished, this, &SphinxVoiceCommandControl::inputFinished);
    connect(m_worker, &RecognitionWorker::recorded, this, &SphinxVoiceCommandControl::utteranceRecorded);
    connect(m_worker, &RecognitionWorker::adaptationLoaded, this, [this](const QString& file) {
        m_adaptationInUse = file;
        emit adaptationChanged(!file.isEmpty());
    });
    m_thread.setObjectName(QStringLiteral("vorlix-recognizer"));
    m_thread.start();
    QMetaObject::invokeMethod(m_worker, &RecognitionWorker::start, Qt::QueuedConnection);
}

SphinxVoiceCommandControl::~SphinxVoiceCommandControl()
{
    delete m_training;
    if (m_adaptation)
        m_adaptation->wait();
    m_thread.quit();
    m_thread.wait();
}

void SphinxVoiceCommandControl::setControlProperty(int dispatchId, int32_t value)
{
    // Switches of the control the program was written for; this recogniser has nothing to set.
    qCDebug(lcVoiceCommand) << "property" << dispatchId << "set to" << value;
}

Result<int32_t> SphinxVoiceCommandControl::createMenu(const QString& name, const QString& state, int32_t flags)
{
    Q_UNUSED(state);
    Q_UNUSED(flags);
    if (!QFileInfo::exists(kModelDir + QStringLiteral("/en-us/mdef")))
        return Error{tr("The speech recognition model is not installed (%1).").arg(kModelDir)};
    const int32_t handle = m_nextHandle++;
    m_menus[handle].name = name;
    return handle;
}

SphinxVoiceCommandControl::Menu* SphinxVoiceCommandControl::findMenu(int32_t handle)
{
    const auto it = m_menus.find(handle);
    return it == m_menus.end() ? nullptr : &it->second;
}

void SphinxVoiceCommandControl::addEntry(int32_t menu, int32_t id, const QString& command,
                                         const QString& description, const QString& category, int32_t flags,
                                         const QString& action)
{
    Menu* m = findMenu(menu);
    if (!m)
        return;
    m->entries.push_back({id, command, description, category, action, flags, PhraseNormalizer::spokenForm(command)});
    if (m->active)
        phrasesChanged();
}

void SphinxVoiceCommandControl::activateMenu(int32_t menu)
{
    Menu* m = findMenu(menu);
    if (!m || m->active)
        return;
    m->active = true;
    phrasesChanged();
}

void SphinxVoiceCommandControl::deactivateMenu(int32_t menu)
{
    Menu* m = findMenu(menu);
    if (!m || !m->active)
        return;
    m->active = false;
    // A new epoch voids whatever is being decoded now; the worker hears of it at once.
    ++m_epoch;
    sendPhrases();
}

int32_t SphinxVoiceCommandControl::countEntries(int32_t menu)
{
    const Menu* m = findMenu(menu);
    return m ? int32_t(m->entries.size()) : 0;
}

bool SphinxVoiceCommandControl::getEntry(int32_t menu, int32_t position, QString& command, QString& description,
                                         QString& category, int32_t& flags, QString& action)
{
    const Menu* m = findMenu(menu);
    if (!m || position < 1 || position > int32_t(m->entries.size()))
        return false;
    const Entry& e = m->entries[size_t(position - 1)];
    command = e.command;
    description = e.description;
    category = e.category;
    flags = e.flags;
    action = e.action;
    return true;
}

void SphinxVoiceCommandControl::removeEntry(int32_t menu, int32_t position)
{
    Menu* m = findMenu(menu);
    if (!m || position < 1 || position > int32_t(m->entries.size()))
        return;
    m->entries.erase(m->entries.begin() + (position - 1));
    if (m->active)
        phrasesChanged();
}

void SphinxVoiceCommandControl::setThreshold(int32_t value)
{
    m_threshold = std::clamp(value, 0, 100);
    QMetaObject::invokeMethod(m_worker, [worker = m_worker, t = m_threshold] { worker->setThreshold(t); },
                              Qt::QueuedConnection);
}

void SphinxVoiceCommandControl::showTraining(QWidget* owner, const QString& title)
{
    if (m_training) {
        m_training->raise();
        m_training->activateWindow();
        return;
    }
    m_training = new TrainingDialog(*this, owner);
    m_training->setAttribute(Qt::WA_DeleteOnClose);
    m_training->setWindowTitle(title);
    // Practice hears every menu's phrases and fires none of them.
    m_practising = true;
    phrasesChanged();
    connect(m_training, &QObject::destroyed, this, [this] {
        m_practising = false;
        phrasesChanged();
    });
    m_training->open();
}

void SphinxVoiceCommandControl::releaseMenu(int32_t menu)
{
    const auto it = m_menus.find(menu);
    if (it == m_menus.end())
        return;
    const bool wasActive = it->second.active;
    m_menus.erase(it);
    if (wasActive) {
        ++m_epoch;
        sendPhrases();
    }
}

bool SphinxVoiceCommandControl::injectPhrase(const QString& phrase)
{
    if (m_practising)
        return false;
    return fire(PhraseNormalizer::spokenForm(phrase), 100);
}

void SphinxVoiceCommandControl::setOutputActive(bool speaking)
{
    QMetaObject::invokeMethod(m_worker, [worker = m_worker, speaking] { worker->setOutputActive(speaking); },
                              Qt::QueuedConnection);
}

void SphinxVoiceCommandControl::pushAudio(const std::vector<int16_t>& samples)
{
    QMetaObject::invokeMethod(m_worker, [worker = m_worker, samples] { worker->pushAudio(samples); },
                              Qt::QueuedConnection);
}

void SphinxVoiceCommandControl::selectInputDevice(const QString& deviceName)
{
    m_input.deviceName = deviceName;
    QSettings(QStringLiteral("Vorlix"), QStringLiteral("VoiceCommands")).setValue(QStringLiteral("InputDevice"), deviceName);
    QMetaObject::invokeMethod(m_worker, [worker = m_worker, deviceName] { worker->selectDevice(deviceName); },
                              Qt::QueuedConnection);
}

void SphinxVoiceCommandControl::calibrateNoise()
{
    QMetaObject::invokeMethod(m_worker, &RecognitionWorker::calibrateNoise, Qt::QueuedConnection);
}

void SphinxVoiceCommandControl::setRecordingUtterances(bool on)
{
    QMetaObject::invokeMethod(m_worker, [worker = m_worker, on] { worker->setRecording(on); }, Qt::QueuedConnection);
}

void SphinxVoiceCommandControl::setAdaptationStore(const QString& folder, std::shared_ptr<ToolRunner> tools)
{
    m_adaptationFolder = folder;
    m_tools = std::move(tools);
}

void SphinxVoiceCommandControl::adaptToVoice(std::vector<AdaptationRecording> recordings)
{
    if (m_adaptation)
        return;
    QPointer<SphinxVoiceCommandControl> self(this);
    m_adaptation = QThread::create([self, folder = m_adaptationFolder, tools = m_tools, recordings = std::move(recordings)] {
        SpeakerAdaptation adaptation(folder, *tools);
        const auto done = adaptation.adapt(recordings, [self](int percent, const QString& step) {
            QMetaObject::invokeMethod(self, [self, percent, step] { emit self->adaptationProgress(percent, step); },
                                      Qt::QueuedConnection);
        });
        const QString error = done ? QString() : done.error().message;
        QMetaObject::invokeMethod(self, [self, error, folder] {
            self->m_adaptation->deleteLater();
            self->m_adaptation = nullptr;
            if (error.isEmpty())
                self->useAdaptation(SpeakerAdaptation::storedTransform(folder));
            else
                qCWarning(lcVoiceCommand).noquote() << "adaptation failed:" << error;
            emit self->adaptationFinished(error);
        }, Qt::QueuedConnection);
    });
    m_adaptation->setParent(this);
    m_adaptation->setObjectName(QStringLiteral("vorlix-adaptation"));
    m_adaptation->start(QThread::LowPriority);
}

Result<void> SphinxVoiceCommandControl::forgetVoice()
{
    if (m_adaptation)
        return Error{tr("Wait until the adaptation in progress has finished.")};
    useAdaptation({});
    SpeakerAdaptation adaptation(m_adaptationFolder, *m_tools);
    return adaptation.forget();
}

void SphinxVoiceCommandControl::useAdaptation(const QString& file)
{
    QMetaObject::invokeMethod(m_worker, [worker = m_worker, file] { worker->setAdaptation(file); }, Qt::QueuedConnection);
}

void SphinxVoiceCommandControl::phrasesChanged()
{
    // Phrase boxes register on every keystroke: send the phrases once per event-loop pass.
    if (m_sendPending)
        return;
    m_sendPending = true;
    QMetaObject::invokeMethod(this, &SphinxVoiceCommandControl::sendPhrases, Qt::QueuedConnection);
}

void SphinxVoiceCommandControl::sendPhrases()
{
    m_sendPending = false;
    QStringList phrases;
    QSet<QString> seen;   // a list search per entry would make tens of thousands of entries take seconds
    for (const auto& [handle, menu] : m_menus) {
        if (!menu.active && !m_practising)
            continue;
        for (const Entry& e : menu.entries) {
            if (!seen.contains(e.command)) {
                seen.insert(e.command);
                phrases << e.command;
            }
        }
    }
    QMetaObject::invokeMethod(m_worker, [worker = m_worker, phrases, epoch = m_epoch] {
        worker->setPhrases(phrases, epoch);
    }, Qt::QueuedConnection);
}

void SphinxVoiceCommandControl::onHeard(const Hearing& hearing, quint64 epoch)
{
    emit utteranceHeard(hearing);
    qCDebug(lcVoiceCommand).noquote() << "heard" << hearing.heard << "score" << hearing.score
                                      << (hearing.fired ? "fired" : "not fired");
    if (epoch != m_epoch || m_practising || !hearing.fired)
        return;
    fire(PhraseNormalizer::spokenForm(hearing.phrase), hearing.score);
}

bool SphinxVoiceCommandControl::fire(const QString& spoken, int score)
{
    if (spoken.isEmpty())
        return false;
    for (const auto& [handle, menu] : m_menus) {
        if (!menu.active)
            continue;
        for (const Entry& e : menu.entries) {
            if (e.spoken == spoken) {
                emit phraseRecognized(e.id, menu.name, e.flags, e.category, score, e.action, e.command);
                return true;
            }
        }
    }
    return false;
}

void SphinxVoiceCommandControl::onProblem(const QString& message)
{
    if (message == m_audioProblem)
        return;
    m_audioProblem = message;
    if (message.isEmpty())
        qCInfo(lcVoiceCommand) << "the audio input works again";
    else
        qCWarning(lcVoiceCommand).noquote() << message;
    emit audioProblemChanged(message);
}
