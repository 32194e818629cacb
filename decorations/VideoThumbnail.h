#pragma once

#include <QImage>
#include <QSize>
#include <QString>

// The frame size of a video file, read by opening it; an invalid size when it cannot be read.
QSize ReadVideoFrameSize(const QString& path);

// The first frame of a video file (RGB32); a null image when it cannot be read.
QImage ReadFirstVideoFrame(const QString& path);

// A strip of film perforations along the top and bottom edges and a play triangle in the
// middle, so a video's thumbnail tells itself apart from a photo's.
void DrawFilmBadge(QImage& thumbnail);
