#include "app/EffectSounds.h"

#include <QAudioDevice>
#include <QDir>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>

EffectSounds::EffectSounds(QString systemDir)
    : systemDir_(std::move(systemDir))
{
}

EffectSounds::~EffectSounds() = default;

void EffectSounds::Play(Sound sound)
{
    // No output (no sound card, no sound server): silence, without a word on each photo.
    if (QMediaDevices::defaultAudioOutput().isNull())
        return;
    const auto index = static_cast<std::size_t>(sound);
    if (index >= effects_.size())
        return;
    std::unique_ptr<QSoundEffect>& effect = effects_[index];
    if (!effect) {
        effect = std::make_unique<QSoundEffect>();
        // A missing file only leaves the effect in its error state: silent.
        effect->setSource(QUrl::fromLocalFile(QDir(systemDir_).filePath(QString::fromLatin1(SoundFileName(sound)))));
    }
    // A second photo before the first click has faded starts the click again.
    effect->stop();
    effect->play();
}
