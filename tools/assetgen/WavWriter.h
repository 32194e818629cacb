#pragma once

#include <QByteArray>

#include <vector>

// A sound as samples from -1 to 1, one channel.
struct Clip {
    static constexpr int kRate = 44100; // samples per second
    std::vector<double> samples;
};

// The clip as a WAVE file: RIFF, a PCM "fmt " chunk (one channel, 16 bits) and the "data" chunk,
// little-endian throughout. Samples outside -1..1 are clipped.
QByteArray encodeWav(const Clip& clip);
