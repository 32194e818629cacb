#include "pipeline/record/BurstStrip.h"

#include "pipeline/record/BgrPicture.h"
#include "pipeline/record/MediaFiles.h"

#include <QCoreApplication>

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cstdio>

namespace {

const cv::Scalar kCardWhite(255, 255, 255);
const cv::Scalar kDateInk(90, 90, 90);
constexpr int kFont = cv::FONT_HERSHEY_SIMPLEX;

std::string DateLine(std::time_t when)
{
    std::tm local{};
    if (!ToLocalTime(when, local))
        return {};
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d", local.tm_year + 1900, local.tm_mon + 1,
                  local.tm_mday, local.tm_hour, local.tm_min);
    return text;
}

} // namespace

QString BurstStripNameSuffix()
{
    return QStringLiteral("-") + QCoreApplication::translate("BurstStrip", "四连拍");
}

BurstStripLayout LayOutBurstStrip(cv::Size shot)
{
    // Margins grow with the picture, so the card looks the same at every camera size.
    const int margin = std::max(8, shot.width / 25);
    const int dateHeight = std::max(12, shot.height / 14);
    BurstStripLayout layout;
    for (int i = 0; i < 4; ++i) {
        const int column = i % 2, row = i / 2;
        layout.cells[i] = cv::Rect(margin + column * (shot.width + margin), margin + row * (shot.height + margin),
                                   shot.width, shot.height);
    }
    const int gridBottom = layout.cells[3].br().y;
    layout.dateLine = cv::Rect(margin, gridBottom + margin / 2, 2 * shot.width + margin, dateHeight);
    layout.card = cv::Size(2 * shot.width + 3 * margin, layout.dateLine.br().y + margin / 2);
    return layout;
}

cv::Mat ComposeBurstStrip(const std::array<cv::Mat, 4>& shots, std::time_t when)
{
    if (shots[0].empty())
        return {};
    const cv::Size cell = shots[0].size();
    const BurstStripLayout layout = LayOutBurstStrip(cell);
    cv::Mat card(layout.card, CV_8UC3, kCardWhite);
    for (int i = 0; i < 4; ++i) {
        const cv::Mat bgr = AsBgr(shots[i]);
        if (bgr.empty())
            continue; // a missing shot leaves its cell white
        cv::Mat target = card(layout.cells[i]);
        if (bgr.size() == cell)
            bgr.copyTo(target);
        else
            cv::resize(bgr, target, cell, 0, 0, cv::INTER_AREA);
    }

    const std::string date = DateLine(when);
    if (!date.empty()) {
        // The text fills about two thirds of its line's height, right-aligned like a print date.
        int baseline = 0;
        const cv::Size unit = cv::getTextSize(date, kFont, 1.0, 1, &baseline);
        const double scale = std::max(0.3, std::min(0.66 * layout.dateLine.height / std::max(1, unit.height),
                                                    0.9 * layout.dateLine.width / std::max(1, unit.width)));
        const int thickness = std::max(1, static_cast<int>(scale + 0.5));
        const cv::Size size = cv::getTextSize(date, kFont, scale, thickness, &baseline);
        const cv::Point origin(layout.dateLine.br().x - size.width,
                               layout.dateLine.y + (layout.dateLine.height + size.height) / 2);
        cv::putText(card, date, origin, kFont, scale, kDateInk, thickness, cv::LINE_AA);
    }
    return card;
}

BurstSequence::BurstSequence(Clock clock)
    : clock_(std::move(clock))
{
}

std::chrono::steady_clock::time_point BurstSequence::Now() const
{
    return clock_ ? clock_() : std::chrono::steady_clock::now();
}

void BurstSequence::Start()
{
    running_ = true;
    taken_ = 0;
    anchor_ = Now();
}

void BurstSequence::Cancel()
{
    running_ = false;
}

int BurstSequence::TakeDueShot()
{
    if (!running_)
        return -1;
    const auto now = Now();
    if (now < DueAt(taken_))
        return -1;
    // More than half an interval late: the schedule restarts from this shot.
    if (now - DueAt(taken_) > kInterval / 2)
        anchor_ = now - taken_ * kInterval;
    const int shot = taken_++;
    if (taken_ == kShots)
        running_ = false;
    return shot;
}

std::chrono::steady_clock::duration BurstSequence::untilNextShot() const
{
    if (!running_)
        return std::chrono::steady_clock::duration::zero();
    return std::max(std::chrono::steady_clock::duration::zero(), DueAt(taken_) - Now());
}

QImage ComposeBurstStripImage(const std::array<QImage, 4>& shots, std::time_t when)
{
    std::array<cv::Mat, 4> bgr;
    for (std::size_t i = 0; i < shots.size(); ++i) {
        if (shots[i].isNull())
            continue;
        const QImage rgb32 = shots[i].convertToFormat(QImage::Format_RGB32);
        const cv::Mat bgra(rgb32.height(), rgb32.width(), CV_8UC4, const_cast<uchar*>(rgb32.constBits()),
            static_cast<size_t>(rgb32.bytesPerLine()));
        cv::cvtColor(bgra, bgr[i], cv::COLOR_BGRA2BGR);
    }
    const cv::Mat strip = ComposeBurstStrip(bgr, when);
    if (strip.empty())
        return {};
    QImage image(strip.cols, strip.rows, QImage::Format_RGB32);
    cv::Mat target(image.height(), image.width(), CV_8UC4, image.bits(), static_cast<size_t>(image.bytesPerLine()));
    cv::cvtColor(strip, target, cv::COLOR_BGR2BGRA);
    return image;
}
