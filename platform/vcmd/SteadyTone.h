#pragma once
// Music, beeps, whistles and hums hold their pitches; speech glides from one to the next.
// Over a quarter of a second, a steady tone therefore puts nearly all its energy into a few
// narrow bands of the spectrum, which speech never does.

#include <cstddef>
#include <cstdint>

namespace SteadyTone {

// The share (0-1) of the sound's energy above 60 Hz that the eight strongest 31 Hz bands
// of each quarter second hold. Speech stays below about 0.9, steady tones come near 1.
double share(const int16_t* samples, size_t count);

// Whether the sound is a steady tone rather than speech.
bool isSteadyTone(const int16_t* samples, size_t count);

} // namespace SteadyTone
