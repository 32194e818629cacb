#pragma once

#include "ui/Sounds.h"

#include <QString>

#include <array>
#include <memory>

class QSoundEffect;

// The sounds from the WAV files of the system folder, through Qt Multimedia. Without an audio
// output, or without the files, nothing is heard and nothing is said.
class EffectSounds final : public Sounds {
public:
    explicit EffectSounds(QString systemDir);
    ~EffectSounds() override;
    void Play(Sound sound) override;

private:
    QString systemDir_;
    // Made at the first play with an audio output present, then kept loaded.
    std::array<std::unique_ptr<QSoundEffect>, 2> effects_;
};
