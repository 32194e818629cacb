#pragma once

#include <vector>

// The short sounds that go with taking pictures.
enum class Sound {
    Shutter, // a photo, each shot of a burst, the start of a recording
    Tick,    // each of the last three seconds of a countdown
};

// The file of each sound in the system folder (drawn by the asset generator).
const char* SoundFileName(Sound sound);

// Plays the sounds. The program installs one that reaches the audio device; until then, and in
// tests, nothing is heard. Playing never blocks and never reports: a machine without sound
// stays silent.
class Sounds {
public:
    virtual ~Sounds() = default;
    virtual void Play(Sound sound) = 0;
};

// Records every sound asked for instead of playing it.
class RecordingSounds final : public Sounds {
public:
    void Play(Sound sound) override { played.push_back(sound); }
    std::vector<Sound> played;
};

// The service in force for the whole process (silent unless replaced).
Sounds& SoundPlayer();

// Installs a service for the lifetime of a scope (the program, a test) and restores the
// previous one.
class ScopedSounds {
public:
    explicit ScopedSounds(Sounds& service);
    ~ScopedSounds();
    ScopedSounds(const ScopedSounds&) = delete;
    ScopedSounds& operator=(const ScopedSounds&) = delete;

private:
    Sounds* previous_;
};

// The user's choice "声音": on unless switched off, remembered in the settings profile.
bool SoundOn();
void SetSoundOn(bool on);

// Plays the sound through the service in force when the user wants sounds.
void PlaySound(Sound sound);
