#pragma once
// Reads a RIFF/WAVE file (8/16/24/32-bit integer or 32-bit float PCM, any rate, any number of
// channels) and converts it to what the recogniser hears: 16 kHz mono, 16-bit samples.

#include "platform/common/Result.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <vector>

class WavFile {
public:
    static constexpr int kRecognizerRateHz = 16000;

    static Result<std::vector<int16_t>> readAsRecognizerInput(const QString& path);
    static Result<std::vector<int16_t>> decodeAsRecognizerInput(const QByteArray& bytes);
    // Index just past the last 10 ms louder than -50 dBFS: where the sound in a recording ends.
    static size_t endOfSound(const std::vector<int16_t>& samples);
    // Index just past the last 50 ms that stand clearly (6 dB) above the recording's noise
    // floor and above -50 dBFS: where speech ends when noise runs on after it.
    static size_t endOfSpeech(const std::vector<int16_t>& samples);
    // The mean power of each whole 10 ms window.
    static std::vector<double> windowPowers(const std::vector<int16_t>& samples);
    // Linear interpolation after a box filter as wide as the rate ratio: enough for speech.
    static std::vector<int16_t> resample(const std::vector<float>& mono, int fromRateHz, int toRateHz);
};
