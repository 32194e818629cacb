#pragma once

#include <QImage>
#include <QString>

#include <opencv2/core.hpp>

#include <array>
#include <chrono>
#include <ctime>
#include <functional>

// Where the parts of a burst strip go: four shots in a 2 × 2 grid on a white card, a date line
// under them. Every cell has the first shot's size.
struct BurstStripLayout {
    cv::Size card;
    std::array<cv::Rect, 4> cells; // left to right, then top to bottom, in shot order
    cv::Rect dateLine;
};

BurstStripLayout LayOutBurstStrip(cv::Size shot);

// What follows the time in a burst strip's file name ("-四连拍"), so that it is not taken for a
// fifth photo of the burst.
QString BurstStripNameSuffix();

// Composes the four shots (BGR, the first one's size wins; others are scaled to it) into the
// strip image, with the date of `when` in local time. Empty when the first shot is empty.
cv::Mat ComposeBurstStrip(const std::array<cv::Mat, 4>& shots, std::time_t when);
// The same for composed pictures as the frame loop makes them; a null image when the first
// shot is null.
QImage ComposeBurstStripImage(const std::array<QImage, 4>& shots, std::time_t when);

// Decides when each of the four shots of a burst is due: the first when the countdown ends,
// then one second apart. Driven from one thread (the interface's timer); the clock is injected
// so the schedule can be tested.
class BurstSequence {
public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;
    static constexpr int kShots = 4;
    static constexpr std::chrono::steady_clock::duration kInterval = std::chrono::seconds(1);

    explicit BurstSequence(Clock clock = {});

    void Start(); // the first shot is due now
    void Cancel();
    bool running() const { return running_; }
    int shotsTaken() const { return taken_; }

    // The number (0 to 3) of the shot due now, marked as taken, or -1 when none is due. A shot
    // that comes late moves the later ones on, so two shots are never taken back to back.
    int TakeDueShot();
    // How long until the next shot is due (zero when it is due); zero when not running.
    std::chrono::steady_clock::duration untilNextShot() const;

private:
    std::chrono::steady_clock::time_point Now() const;
    std::chrono::steady_clock::time_point DueAt(int shot) const { return anchor_ + shot * kInterval; }

    Clock clock_;
    bool running_ = false;
    int taken_ = 0;
    std::chrono::steady_clock::time_point anchor_;
};
