// The shutter and the countdown's tick, synthesised: decaying noise and tones, no recordings.

#include "tools/assetgen/Assets.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;

// The same noise on every machine and every run (the standard distributions may differ between
// libraries).
class Noise {
public:
    double next()
    {
        state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<double>(state_ >> 11) / static_cast<double>(1ULL << 53) * 2.0 - 1.0;
    }

private:
    std::uint64_t state_ = 0x5eed;
};

Clip Silence(double seconds)
{
    Clip clip;
    clip.samples.assign(static_cast<std::size_t>(seconds * Clip::kRate), 0.0);
    return clip;
}

// Adds a noise burst at `at` seconds that decays with time constant `decay`, brightened by a
// one-pole high-pass (the clack of metal) or darkened by a low-pass.
void AddNoiseBurst(Clip& clip, Noise& noise, double at, double decay, double level, double lowPass)
{
    const auto start = static_cast<std::size_t>(at * Clip::kRate);
    double smooth = 0.0;
    for (std::size_t i = start; i < clip.samples.size(); ++i) {
        const double t = static_cast<double>(i - start) / Clip::kRate;
        smooth += lowPass * (noise.next() - smooth);
        clip.samples[i] += level * smooth * std::exp(-t / decay);
    }
}

// A decaying tone with a 2 ms rise, so that it starts without a click of its own.
void AddTone(Clip& clip, double at, double frequency, double decay, double level)
{
    const auto start = static_cast<std::size_t>(at * Clip::kRate);
    for (std::size_t i = start; i < clip.samples.size(); ++i) {
        const double t = static_cast<double>(i - start) / Clip::kRate;
        const double rise = std::min(t / 0.002, 1.0);
        clip.samples[i] += level * rise * std::exp(-t / decay) * std::sin(kTwoPi * frequency * t);
    }
}

// Scales to the given peak and fades the last 10 ms to silence.
void Finish(Clip& clip, double peak)
{
    double highest = 0.0;
    for (const double s : clip.samples)
        highest = std::max(highest, std::abs(s));
    const std::size_t fade = std::min<std::size_t>(Clip::kRate / 100, clip.samples.size());
    for (std::size_t i = 0; i < clip.samples.size(); ++i) {
        double gain = highest > 0.0 ? peak / highest : 0.0;
        const std::size_t left = clip.samples.size() - i;
        if (left <= fade)
            gain *= static_cast<double>(left - 1) / static_cast<double>(fade);
        clip.samples[i] *= gain;
    }
}

} // namespace

Clip shutterSound()
{
    // A mirror camera: the shutter opens (a bright clack with a low thump) and closes 70 ms later
    // (a softer one).
    Clip clip = Silence(0.18);
    Noise noise;
    AddNoiseBurst(clip, noise, 0.000, 0.006, 1.0, 0.55);
    AddTone(clip, 0.000, 190.0, 0.020, 0.45);
    AddTone(clip, 0.000, 2600.0, 0.008, 0.20);
    AddNoiseBurst(clip, noise, 0.070, 0.010, 0.6, 0.35);
    AddTone(clip, 0.070, 150.0, 0.025, 0.35);
    Finish(clip, 0.7);
    return clip;
}

Clip tickSound()
{
    // A soft wooden tick: a short high tone with a hint of its octave, quieter than the shutter.
    Clip clip = Silence(0.06);
    AddTone(clip, 0.0, 1400.0, 0.010, 1.0);
    AddTone(clip, 0.0, 2800.0, 0.005, 0.3);
    Finish(clip, 0.35);
    return clip;
}
