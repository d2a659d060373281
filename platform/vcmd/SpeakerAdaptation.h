#pragma once
// Adapts the acoustic model to one speaker: from phrases the user read aloud, the training
// tools of the sphinxtrain package compute an MLLR transform of the model's means, which
// the recogniser then loads. The transform and the model files the tools need (converted
// once from the installed model) are kept in the user's data folder; forgetting removes
// them all. Plain class, blocking: run adapt() off the user-interface thread.

#include "platform/common/Result.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <vector>

class ToolRunner;

struct AdaptationRecording {
    QString phrase;                // what the user was asked to read
    std::vector<int16_t> audio;    // 16 kHz mono, with a little silence around the speech
};

class SpeakerAdaptation {
public:
    static constexpr int kMinimumAligned = 5;   // fewer usable recordings make a poor transform

    SpeakerAdaptation(QString folder, ToolRunner& tools,
                      QString modelDir = QStringLiteral("/usr/share/pocketsphinx/model/en-us"));

    // $XDG_DATA_HOME/vorlix/adaptation
    static QString defaultFolder();
    // The phrases a session asks the user to read: short, and together rich in the model's phones.
    static QStringList sessionPhrases();

    // The transform stored in a folder, or empty when there is none.
    static QString storedTransform(const QString& folder);
    // Percent done (0-100) and the step, for a progress bar.
    using Progress = std::function<void(int percent, const QString& step)>;
    // Computes the transform and stores it, replacing an older one only on success.
    Result<void> adapt(const std::vector<AdaptationRecording>& recordings, const Progress& progress = {});
    // Removes the transform and everything else in the folder.
    Result<void> forget();

    // One transform after another, as one: `outer` applied to means `inner` has already
    // moved. Both in the text form the recogniser loads, with one class and the same streams.
    static Result<QByteArray> composeTransforms(const QByteArray& outer, const QByteArray& inner);

    // The installed model keeps its definition in binary form and its mixture weights
    // compressed; the tools read only the text definition and plain weights.
    static Result<void> convertModelDefinition(const QString& binaryMdef, const QString& textMdef);
    static Result<void> convertMixtureWeights(const QString& sendump, const QString& mixtureWeights);

private:
    Result<void> prepareModel();
    Result<QString> runTool(const QString& program, const QStringList& arguments, const QString& workDir);

    QString m_folder;
    ToolRunner& m_tools;
    QString m_modelDir;
};
