#pragma once

// Puts the calling thread behind the picture path for the cores: work that may finish a frame
// later (a photo written, faces or corners looked for, a GIF encoded) must not delay a picture.
// Best effort; nothing happens where the system offers no per-thread priority.
void YieldCoresToThePicture();
