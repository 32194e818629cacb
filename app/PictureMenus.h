#pragma once

class CParvelWebcamView;
class QToolBar;

// Drop-down menus for the picture's commands (display size, styles, colour model, region,
// flips, optical flow, doodle). Until the ribbon exists they are how a user reaches them.
void AddPictureMenus(QToolBar& bar, CParvelWebcamView& view);
