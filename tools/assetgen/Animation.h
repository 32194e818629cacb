#pragma once

#include <QImage>
#include <vector>

// Frames of one animated image and how long each stays on screen, in hundredths of a
// second as a GIF stores them.
struct Animation {
    std::vector<QImage> frames;
    std::vector<int> delays;

    void add(QImage frame, int delay)
    {
        frames.push_back(std::move(frame));
        delays.push_back(delay);
    }
};
