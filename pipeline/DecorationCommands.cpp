#include "pipeline/DecorationCommands.h"

namespace DecorationCommands {

PickAction Pick(bool cameraRunning, bool shown)
{
    if (!cameraRunning)
        return PickAction::Ignore;
    return shown ? PickAction::Apply : PickAction::TellHidden;
}

} // namespace DecorationCommands
