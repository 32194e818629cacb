#include "pipeline/CaptureSounds.h"

#include "pipeline/PictureSession.h"
#include "ui/Sounds.h"

namespace {
constexpr int kTickedSeconds = 3;
} // namespace

void ConnectCaptureSounds(PictureSession& session)
{
    QObject::connect(&session, &PictureSession::flashRequested, &session, [] { PlaySound(Sound::Shutter); });
    QObject::connect(&session, &PictureSession::recordingStarted, &session, [] { PlaySound(Sound::Shutter); });
    // 0 is the end of the count (the photo's own shutter follows) or its cancelling.
    QObject::connect(&session, &PictureSession::countdownChanged, &session, [](int seconds) {
        if (seconds >= 1 && seconds <= kTickedSeconds)
            PlaySound(Sound::Tick);
    });
}
