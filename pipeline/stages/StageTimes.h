#pragma once

#include <array>
#include <chrono>

// Where a frame's time goes, stage by stage, for the --stats line and the benchmarks.
enum class Stage : int {
    Take,        // the camera frame into the work frame (with the zoom)
    Faces,       // handing the frame to the face tracker
    Flip,
    Backdrop,    // the person put before another picture or the blurred room
    Colour,      // the colour adjustment
    Style,       // the effect style
    Fun,         // the fun effect
    Flow,        // the dot game
    Doodle,
    Picture,     // the work frame into the 32-bit picture
    Decorations, // logo, photo frame, stickers
    Display,     // the picture at display size
};
constexpr int kStageCount = 12;

// Short names, in Stage order.
constexpr std::array<const char*, kStageCount> kStageNames { "take", "faces", "flip", "backdrop", "colour", "style", "fun", "flow",
    "doodle", "picture", "decorations", "display" };

using StageTimes = std::array<double, kStageCount>; // milliseconds

// Adds the time since the last mark to a stage. One thread.
class StageTimer {
public:
    using Clock = std::chrono::steady_clock;

    explicit StageTimer(StageTimes& times) : times_(times), last_(Clock::now()) {}

    void Mark(Stage stage)
    {
        const Clock::time_point now = Clock::now();
        times_[static_cast<int>(stage)] += std::chrono::duration<double, std::milli>(now - last_).count();
        last_ = now;
    }

private:
    StageTimes& times_;
    Clock::time_point last_;
};
