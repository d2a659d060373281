#pragma once
// Steady noise (a fan, hiss, traffic far away) taken out of a stretch of audio before it is
// decoded: the model was trained on clean speech, and in noise it hears words in the hiss.
// The noise is measured in the quietest moments of the stretch itself, so the stretch must
// hold some silence around the speech, as an utterance with its lead-in does.

#include <cstdint>
#include <vector>

namespace NoiseReduction {

std::vector<int16_t> reduce(const std::vector<int16_t>& audio);

} // namespace NoiseReduction
