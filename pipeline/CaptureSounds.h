#pragma once

class PictureSession;

// The sounds of a session's captures: the shutter with every flash (a photo, each shot of a
// burst) and at the start of a recording, a tick as each of the last three seconds of a countdown
// shows. Played through the process's sound service, only while the user wants sounds.
void ConnectCaptureSounds(PictureSession& session);
