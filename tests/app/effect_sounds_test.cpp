#include "QtTestApp.h"

#include "app/EffectSounds.h"
#include "ui/MessageBoxes.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

namespace {

// Whatever the machine has (no sound card, no sound server, no files), playing neither blocks
// nor shows a box nor ends the program.
TEST(EffectSoundsTest, PlayingWithoutAnOutputOrWithoutTheFilesIsSilent)
{
    EnsureQtApp();
    RecordingMessageBoxes messages;
    ScopedMessageBoxes installMessages(messages);
    QTemporaryDir empty;
    for (const QString& system : { QDir(PARVEL_BIN_DIR).filePath("system"), empty.path() }) {
        EffectSounds sounds(system);
        for (int i = 0; i < 3; ++i) {
            sounds.Play(Sound::Shutter);
            sounds.Play(Sound::Tick);
            QCoreApplication::processEvents();
        }
    }
    EXPECT_TRUE(messages.shown.empty());
}

} // namespace
