#pragma once

#include "pipeline/capture/CameraModes.h"

#include <QSize>
#include <QString>

// A frame rate as people read it: "30", "29.97", "7.5".
QString RateText(double rate);
// One size of a camera as the chooser lists it: "1920 × 1080 · 30 帧/秒", with " · 压缩" for a
// compressed format; the size alone when the rate is not known.
QString SizeOfferText(const ModeChoice& offer);
// What a start of the camera got, for the status bar: "摄像头：1920 × 1080，30 帧/秒", and, when
// the camera gave another size than was asked, that it did and that its size is kept.
QString CameraAgreedText(QSize size, double rate, QSize asked);
