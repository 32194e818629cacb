#include "ui/Sounds.h"

#include <QSettings>

#include <atomic>
#include <optional>

namespace {

const char* const kSoundKey = "Sound";

class SilentSounds final : public Sounds {
public:
    void Play(Sound) override { }
};

std::atomic<Sounds*> installed { nullptr };

// Read from the profile once; the row that changes it writes both.
std::optional<bool>& Remembered()
{
    static std::optional<bool> on;
    return on;
}

} // namespace

const char* SoundFileName(Sound sound)
{
    switch (sound) {
    case Sound::Shutter:
        return "shutter.wav";
    case Sound::Tick:
        return "tick.wav";
    }
    return "";
}

Sounds& SoundPlayer()
{
    if (Sounds* service = installed.load())
        return *service;
    static SilentSounds silent;
    return silent;
}

ScopedSounds::ScopedSounds(Sounds& service)
    : previous_(installed.exchange(&service))
{
}

ScopedSounds::~ScopedSounds()
{
    installed.store(previous_);
}

bool SoundOn()
{
    std::optional<bool>& on = Remembered();
    if (!on)
        on = QSettings().value(kSoundKey, true).toBool();
    return *on;
}

void SetSoundOn(bool on)
{
    Remembered() = on;
    QSettings().setValue(kSoundKey, on);
}

void PlaySound(Sound sound)
{
    if (SoundOn())
        SoundPlayer().Play(sound);
}
