#pragma once
// Music, beeps, whistles and hums hold their pitches; speech glides from one to the next.
// Over a quarter of a second, a steady tone therefore puts nearly all its energy into a few
// narrow bands of the spectrum. Some voices do that too (a high, even female voice); what
// they never do is hold the shape of their spectrum: the formants move with every sound.

#include <cstddef>
#include <cstdint>

namespace SteadyTone {

// The share (0-1) of the sound's energy above 60 Hz that the eight strongest 31 Hz bands
// of each quarter second hold. Most speech stays below about 0.9, steady tones come near 1.
double share(const int16_t* samples, size_t count);

// How much the shape of the spectrum changes from one moment to the next (32 ms apart):
// the median, over the loud moments, of the root-mean-square change of the log energy in
// twenty bands from 150 Hz to 5 kHz, the loudness taken out. Speech stays above about
// 0.6; held notes, beeps and hums below 0.3.
double shapeChange(const int16_t* samples, size_t count);

// Whether the sound is a steady tone rather than speech: both measures must say so.
bool isSteadyTone(const int16_t* samples, size_t count);

} // namespace SteadyTone
