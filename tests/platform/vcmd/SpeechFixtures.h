#pragma once
// Speech for the tests, synthesised with the espeak-ng program at run time into a folder of
// the test, quiet room noise to put between utterances, music-like chords, and the inputs
// a control under test hears.

#include "platform/vcmd/RecognitionWorker.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

struct SpeechOptions {
    const char* voice = "en-us";   // an espeak-ng voice, or "flite:" and a flite voice ("flite:slt")
    int speedWpm = 160;
    double snrDb = 0;   // 0: clean; otherwise noise at this signal-to-noise ratio
    int fliteMeanPitchHz = 0;   // flite only; 0: the voice's own
};

std::vector<int16_t> synthesizeSpeech(const QString& text, const QString& folder, const SpeechOptions& options = {});
std::vector<int16_t> roomQuiet(int ms);
// Chords of pure tones changing twice a second, each struck and fading like a beat.
std::vector<int16_t> musicChords(int seconds);
std::vector<int16_t> joined(std::initializer_list<std::vector<int16_t>> parts);
QString writeWav(const QString& path, const std::vector<int16_t>& samples);
// The words one after another, each without the synthesizer's own silence around it, with
// `pauseMs` of room quiet between them: a person's pauses, measured.
std::vector<int16_t> spokenWithPauses(const QStringList& words, int pauseMs, const QString& folder,
                                      const SpeechOptions& options = {});

// A control's input: only the audio the test pushes, or only a WAV file.
inline AudioInputSettings pushedInput(const QString& adaptationFile = {})
{
    AudioInputSettings input;
    input.usePushedAudio = true;
    input.adaptationFile = adaptationFile;
    return input;
}
inline AudioInputSettings fileInput(const QString& wavPath)
{
    AudioInputSettings input;
    input.wavPath = wavPath;
    return input;
}
