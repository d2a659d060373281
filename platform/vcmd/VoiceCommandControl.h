#pragma once
// What the program asks of the recogniser: menus of phrases that can be activated,
// an acceptance threshold, a training dialog, and an event for every phrase heard.
// Called on the user-interface thread only; phraseRecognized is emitted there too.
// Operations on a menu handle that does not exist (creation failed, released, 0) do
// nothing and never stop the program.

#include "platform/common/Result.h"

#include <QObject>
#include <QString>

#include <cstdint>

class QWidget;

class VoiceCommandControl : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~VoiceCommandControl() override = default;

    // Properties 1 and 19 of the control the program was written for; kept as calls.
    virtual void setControlProperty(int dispatchId, int32_t value) = 0;

    virtual Result<int32_t> createMenu(const QString& name, const QString& state, int32_t flags) = 0;
    virtual void addEntry(int32_t menu, int32_t id, const QString& command, const QString& description,
                          const QString& category, int32_t flags, const QString& action) = 0;
    virtual void activateMenu(int32_t menu) = 0;
    virtual void deactivateMenu(int32_t menu) = 0;   // takes effect at once
    virtual int32_t countEntries(int32_t menu) = 0;
    // position runs from 1 to countEntries(); false (outputs untouched) outside that range.
    virtual bool getEntry(int32_t menu, int32_t position, QString& command, QString& description,
                          QString& category, int32_t& flags, QString& action) = 0;
    virtual void removeEntry(int32_t menu, int32_t position) = 0;
    virtual void setThreshold(int32_t value) = 0;   // 0 accepts the most, 100 the least
    virtual void showTraining(QWidget* owner, const QString& title) = 0;
    // The training dialog is open: practice fires nothing, handed-over phrases included.
    virtual bool isTraining() const = 0;
    virtual void releaseMenu(int32_t menu) = 0;

    // A phrase that reaches the control by other means than the microphone (the
    // remote command `--say`): handled exactly as if it had been heard, so it fires
    // only when it matches an entry of an active menu. Returns whether it fired.
    virtual bool injectPhrase(const QString& phrase) = 0;

    // Why nothing can be heard now ("No microphone was found. …"), fit for the user;
    // empty while the audio input works.
    virtual QString audioProblem() const = 0;

signals:
    void audioProblemChanged(const QString& message);
    // Seven values; the seventh is the command text of the entry heard.
    void phraseRecognized(int32_t value1, const QString& text2, int32_t value3, const QString& text4,
                          int32_t value5, const QString& text6, const QString& command);
};
