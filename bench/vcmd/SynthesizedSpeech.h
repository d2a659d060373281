#pragma once
// Speech made at run time by espeak-ng or flite, cached by text, voice and speed in a work
// folder, and the noise it is mixed with. Shared by the recogniser's benchmark and the tool
// that makes the transform for denoised speech.

#include <QString>

#include <cstdint>
#include <random>
#include <vector>

struct SynthVoice {
    const char* label;
    const char* synthesizer;   // "espeak-ng" or "flite"
    const char* name;
};

enum class NoiseKind { None, White, Pink };

// The synthesizer's speech at 16 kHz without the silence it puts around it; empty when it failed.
std::vector<int16_t> synthesize(const QString& workDir, const QString& text, const SynthVoice& voice, int speedWpm);
// The level of the speech while it sounds: the 10 ms frames within 30 dB of the loudest.
double activeRms(const std::vector<int16_t>& speech);
// White or pink noise with the given RMS.
std::vector<float> noise(size_t n, NoiseKind kind, double level, std::mt19937& rng);
// The speech laid over a bed of sound, starting `before` samples into it; as long as the bed.
std::vector<int16_t> overBed(const std::vector<int16_t>& speech, size_t before, const std::vector<float>& bed);
