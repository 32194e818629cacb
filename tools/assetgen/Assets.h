#pragma once

#include "tools/assetgen/Animation.h"
#include "tools/assetgen/WavWriter.h"

#include <QImage>

// Every image and sound the program ships with. Sizes: the welcome animation and the big frames
// cover the whole 640 × 480 picture; the logo and the add-ons are small.

// system/
Animation welcomeAnimation();
QImage logoImage();
// Short and quiet: the click of a camera's shutter and the countdown's tick.
Clip shutterSound();
Clip tickSound();

// UserData/大相框: transparent middle, ornaments around it.
QImage woodFrame();
QImage filmFrame();
QImage heartsFrame();
Animation starsFrame();
Animation bubblesFrame();

// system/背景: whole pictures (640 × 480, opaque) to stand before; the stars twinkle.
QImage beachBackdrop();
Animation starsBackdrop();
QImage underwaterBackdrop();
QImage partyBackdrop();
QImage cityBackdrop();
QImage paperCutBackdrop();

// UserData/小挂件
QImage starAddOn();
QImage heartAddOn();
QImage sunglassesAddOn();
QImage crownAddOn();
QImage speechAddOn();
Animation spinningStarAddOn();
Animation heartbeatAddOn();
Animation eyesAddOn();
