#include "pipeline/capture/BoothSceneSource.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <mutex>
#include <vector>

namespace {

// Everything is drawn in the coordinates of the 640 × 480 scene and scaled to the frame's size,
// with sub-pixel precision and smoothed edges.
class Painter {
public:
    Painter(cv::Mat& colour, cv::Mat* cover)
        : colour_(colour)
        , cover_(cover)
        , sx_(colour.cols / double(BoothSceneSource::kWidth))
        , sy_(colour.rows / double(BoothSceneSource::kHeight))
    {
    }

    void Polygon(std::initializer_list<cv::Point2d> points, const cv::Scalar& c) const
    {
        std::vector<cv::Point> fixed;
        for (const cv::Point2d& p : points)
            fixed.push_back(Fixed(p));
        const cv::Point* pts = fixed.data();
        const int n = static_cast<int>(fixed.size());
        cv::fillPoly(colour_, &pts, &n, 1, c, cv::LINE_AA, kShift);
        if (cover_)
            cv::fillPoly(*cover_, &pts, &n, 1, cv::Scalar(255), cv::LINE_AA, kShift);
    }

    void Rect(double left, double top, double right, double bottom, const cv::Scalar& c) const
    {
        Polygon({ { left, top }, { right, top }, { right, bottom }, { left, bottom } }, c);
    }

    void Ellipse(cv::Point2d centre, double a, double b, const cv::Scalar& c) const
    {
        const cv::Size axes(static_cast<int>(std::lround(a * sx_ * kOne)), static_cast<int>(std::lround(b * sy_ * kOne)));
        cv::ellipse(colour_, Fixed(centre), axes, 0, 0, 360, c, cv::FILLED, cv::LINE_AA, kShift);
        if (cover_)
            cv::ellipse(*cover_, Fixed(centre), axes, 0, 0, 360, cv::Scalar(255), cv::FILLED, cv::LINE_AA, kShift);
    }

    // A limb: a bar with round ends.
    void Capsule(cv::Point2d a, cv::Point2d b, double radius, const cv::Scalar& c) const
    {
        const cv::Point2d d = b - a;
        const double length = std::max(1e-6, std::hypot(d.x, d.y));
        const cv::Point2d side(-d.y / length * radius, d.x / length * radius);
        Polygon({ a + side, b + side, b - side, a - side }, c);
        Ellipse(a, radius, radius, c);
        Ellipse(b, radius, radius, c);
    }

private:
    static constexpr int kShift = 4;
    static constexpr double kOne = 1 << kShift;
    cv::Point Fixed(cv::Point2d p) const
    {
        return { static_cast<int>(std::lround(p.x * sx_ * kOne)), static_cast<int>(std::lround(p.y * sy_ * kOne)) };
    }

    cv::Mat& colour_;
    cv::Mat* cover_;
    double sx_, sy_;
};

const cv::Scalar kSkin(135, 165, 220);
const cv::Scalar kHair(35, 45, 65);
const cv::Scalar kShirt(60, 95, 205);
const cv::Scalar kTrousers(95, 55, 45);
const cv::Scalar kShoes(30, 30, 35);
const cv::Vec3f kCloth(55, 170, 65);

cv::Point2d Lerp(cv::Point2d a, cv::Point2d b, double t) { return a + (b - a) * t; }

// The person at frame n over a black layer (colours already weighted by coverage) and their
// coverage. False when they have not come in yet.
bool DrawPerson(int n, cv::Mat& layer, cv::Mat& cover)
{
    if (n < BoothSceneSource::kPersonEnters)
        return false;
    const double t = n / 30.0;
    const bool walking = n < BoothSceneSource::kPersonStands;
    const double walked = (n - BoothSceneSource::kPersonEnters) / double(BoothSceneSource::kPersonStands - BoothSceneSource::kPersonEnters);
    const double cx = walking ? -70 + (320 + 70) * walked : 320;
    const double stride = walking ? 10 * std::sin(2 * CV_PI * (n - BoothSceneSource::kPersonEnters) / 20.0) : 0;
    const Painter p(layer, &cover);

    // Legs and shoes.
    p.Polygon({ { cx - 38, 318 }, { cx - 1, 318 }, { cx - 6 + stride, 462 }, { cx - 30 + stride, 462 } }, kTrousers);
    p.Polygon({ { cx + 1, 318 }, { cx + 38, 318 }, { cx + 30 - stride, 462 }, { cx + 6 - stride, 462 } }, kTrousers);
    p.Ellipse({ cx - 20 + stride, 464 }, 19, 9, kShoes);
    p.Ellipse({ cx + 20 - stride, 464 }, 19, 9, kShoes);
    // Body, shoulders, neck, head.
    p.Polygon({ { cx - 48, 200 }, { cx + 48, 200 }, { cx + 42, 330 }, { cx - 42, 330 } }, kShirt);
    p.Ellipse({ cx - 38, 212 }, 14, 14, kShirt);
    p.Ellipse({ cx + 38, 212 }, 14, 14, kShirt);
    p.Rect(cx - 10, 170, cx + 10, 204, kSkin);
    p.Ellipse({ cx, 136 }, 28, 26, kHair);
    p.Ellipse({ cx, 150 }, 24, 30, kSkin);
    // The face's features only change the colour, not the outline.
    const Painter face(layer, nullptr);
    face.Ellipse({ cx - 9, 146 }, 3, 3, cv::Scalar(40, 35, 30));
    face.Ellipse({ cx + 9, 146 }, 3, 3, cv::Scalar(40, 35, 30));
    face.Ellipse({ cx, 166 }, 8, 3, cv::Scalar(80, 80, 170));

    // The left arm hangs and swings while walking.
    const cv::Point2d leftShoulder(cx - 44, 214);
    const cv::Point2d leftElbow = leftShoulder + cv::Point2d(-12 - stride * 0.8, 54);
    const cv::Point2d leftHand = leftElbow + cv::Point2d(-2 - stride * 1.2, 52);
    p.Capsule(leftShoulder, leftElbow, 11, kShirt);
    p.Capsule(leftElbow, leftHand, 9, kSkin);
    p.Ellipse(leftHand + cv::Point2d(0, 6), 10, 11, kSkin);

    // The right arm hangs while walking, then rises and waves.
    const cv::Point2d rightShoulder(cx + 44, 214);
    const cv::Point2d hangingElbow = rightShoulder + cv::Point2d(12 + stride * 0.8, 54);
    const cv::Point2d hangingHand = hangingElbow + cv::Point2d(2 + stride * 1.2, 52);
    const double up = 25 * CV_PI / 180;
    const cv::Point2d raisedElbow = rightShoulder + 58.0 * cv::Point2d(std::cos(-up), std::sin(-up));
    const double wave = -CV_PI / 2 + 0.55 * std::sin(2 * CV_PI * 0.7 * t);
    const cv::Point2d raisedHand = raisedElbow + 55.0 * cv::Point2d(std::cos(wave), std::sin(wave));
    const double raise = std::clamp((n - BoothSceneSource::kPersonStands) / 15.0, 0.0, 1.0);
    const cv::Point2d rightElbow = Lerp(hangingElbow, raisedElbow, raise);
    const cv::Point2d rightHand = Lerp(hangingHand, raisedHand, raise);
    p.Capsule(rightShoulder, rightElbow, 11, kShirt);
    p.Capsule(rightElbow, rightHand, 9, kSkin);
    p.Ellipse(rightHand + (rightHand - rightElbow) * (6.0 / 55.0), 10, 11, kSkin);
    return true;
}

// The empty room: a pale blue-grey striped wall lit by a lamp, a wooden floor, a window, a shelf
// with books and the lamp itself.
cv::Mat DrawRoom(cv::Size size)
{
    cv::Mat img(size, CV_8UC3);
    const double sx = size.width / double(BoothSceneSource::kWidth), sy = size.height / double(BoothSceneSource::kHeight);
    const cv::Point2d lamp(255, 122);
    for (int y = 0; y < size.height; ++y) {
        const double v = (y + 0.5) / sy;
        auto* row = img.ptr<cv::Vec3b>(y);
        for (int x = 0; x < size.width; ++x) {
            const double u = (x + 0.5) / sx;
            cv::Vec3d c;
            if (v < 356) {
                const double stripe = 1 + 0.025 * std::sin(2 * CV_PI * u / 24);
                const double d2 = (u - lamp.x) * (u - lamp.x) + (v - lamp.y) * (v - lamp.y);
                const double glow = 1 + 0.22 * std::exp(-d2 / (2 * 60.0 * 60.0));
                c = cv::Vec3d(196 - 0.04 * v, 182 - 0.03 * v, 166 - 0.02 * v) * stripe * glow;
            } else {
                // Boards with darker joints and a slight grain.
                const double board = std::fmod(v - 356, 26.0);
                const double joint = board < 1.5 ? 0.7 : 1.0;
                const double grain = 1 + 0.04 * std::sin(u / 9.0 + v * 0.7) ;
                c = cv::Vec3d(62, 98, 140) * joint * grain;
            }
            row[x] = cv::Vec3b(cv::saturate_cast<uchar>(c[0]), cv::saturate_cast<uchar>(c[1]), cv::saturate_cast<uchar>(c[2]));
        }
    }
    const Painter p(img, nullptr);
    p.Rect(0, 348, 640, 358, cv::Scalar(222, 224, 220)); // skirting
    // Window with sky, a cloud and its bars.
    p.Rect(440, 60, 610, 250, cv::Scalar(236, 236, 232));
    p.Rect(450, 70, 600, 240, cv::Scalar(238, 198, 150));
    p.Ellipse({ 500, 120 }, 30, 12, cv::Scalar(250, 250, 250));
    p.Ellipse({ 530, 112 }, 22, 14, cv::Scalar(250, 250, 250));
    p.Rect(521, 70, 529, 240, cv::Scalar(236, 236, 232));
    p.Rect(450, 151, 600, 159, cv::Scalar(236, 236, 232));
    // Shelf and books.
    p.Rect(30, 120, 200, 130, cv::Scalar(40, 72, 112));
    p.Rect(30, 210, 200, 220, cv::Scalar(40, 72, 112));
    const cv::Scalar books[] = { { 50, 50, 170 }, { 60, 140, 60 }, { 150, 90, 40 }, { 40, 170, 210 }, { 120, 60, 120 }, { 200, 200, 190 } };
    for (int i = 0; i < 6; ++i) {
        const double left = 38 + i * 17.0;
        p.Rect(left, 78 + (i % 3) * 5, left + 14, 120, books[i]);
        p.Rect(left + 40, 170 + (i % 2) * 8, left + 54, 210, books[5 - i]);
    }
    p.Ellipse({ 170, 100 }, 14, 20, cv::Scalar(60, 120, 70)); // a plant
    p.Rect(160, 100, 180, 120, cv::Scalar(50, 80, 150));
    // The standing lamp.
    p.Polygon({ { 232, 95 }, { 278, 95 }, { 292, 142 }, { 218, 142 } }, cv::Scalar(150, 215, 245));
    p.Rect(252, 142, 258, 340, cv::Scalar(60, 60, 60));
    p.Ellipse({ 255, 342 }, 26, 7, cv::Scalar(50, 50, 50));
    return img;
}

// The green cloth with its soft folds, darker towards the floor.
cv::Mat DrawCloth(cv::Size size)
{
    cv::Mat img(size, CV_8UC3);
    const double sx = size.width / double(BoothSceneSource::kWidth), sy = size.height / double(BoothSceneSource::kHeight);
    for (int y = 0; y < size.height; ++y) {
        const double v = (y + 0.5) / sy;
        auto* row = img.ptr<cv::Vec3b>(y);
        for (int x = 0; x < size.width; ++x) {
            const double u = (x + 0.5) / sx;
            const double fold = 1 + 0.08 * std::sin(2 * CV_PI * u / 110 + 1.5 * std::sin(2 * CV_PI * v / 230)) - 0.1 * v / 480;
            const cv::Vec3f c = kCloth * static_cast<float>(fold);
            row[x] = cv::Vec3b(cv::saturate_cast<uchar>(c[0]), cv::saturate_cast<uchar>(c[1]), cv::saturate_cast<uchar>(c[2]));
        }
    }
    return img;
}

cv::Mat DrawBackdrop(BoothScene scene, cv::Size size)
{
    return scene == BoothScene::GreenCloth ? DrawCloth(size) : DrawRoom(size);
}

// The story's frame n with the sensor noise of frame noiseFrame (the same number, but for a
// person held away, whose room must still be noisy frame by frame).
cv::Mat RenderOn(const cv::Mat& backdrop, BoothScene scene, int n, cv::Mat* truth, int noiseFrame)
{
    const cv::Size size = backdrop.size();
    cv::Mat layer = cv::Mat::zeros(size, CV_8UC3);
    cv::Mat cover = cv::Mat::zeros(size, CV_8UC1);
    const bool person = DrawPerson(n, layer, cover);
    cv::Mat frame = backdrop.clone();
    if (person) {
        // The green rim: cloth light reflected onto the person's edges, fading over a few pixels.
        cv::Mat rim;
        if (scene == BoothScene::GreenCloth) {
            const double sigma = 3.0 * size.height / BoothSceneSource::kHeight;
            cv::GaussianBlur(255 - cover, rim, cv::Size(), sigma, sigma);
        }
        for (int y = 0; y < size.height; ++y) {
            auto* out = frame.ptr<cv::Vec3b>(y);
            const auto* l = layer.ptr<cv::Vec3b>(y);
            const uchar* a = cover.ptr<uchar>(y);
            const uchar* r = rim.empty() ? nullptr : rim.ptr<uchar>(y);
            for (int x = 0; x < size.width; ++x) {
                if (a[x] == 0)
                    continue;
                for (int c = 0; c < 3; ++c)
                    out[x][c] = cv::saturate_cast<uchar>(out[x][c] * (255 - a[x]) / 255.0 + l[x][c]);
                if (r)
                    out[x][1] = cv::saturate_cast<uchar>(out[x][1] + 45.0 * a[x] / 255.0 * r[x] / 255.0);
            }
        }
    }
    const double exposure = BoothSceneSource::Exposure(scene, n);
    if (exposure != 1.0)
        frame.convertTo(frame, CV_8UC3, exposure);
    // Sensor noise, the same for the same frame.
    cv::Mat noise(size, CV_16SC3);
    cv::RNG rng(0x5eed0000u + static_cast<unsigned>(noiseFrame) * 2654435761u + (scene == BoothScene::GreenCloth ? 1u : 0u));
    rng.fill(noise, cv::RNG::NORMAL, 0, 3.0);
    cv::add(frame, noise, frame, cv::noArray(), CV_8UC3);
    if (truth)
        *truth = cover;
    return frame;
}

} // namespace

double BoothSceneSource::Exposure(BoothScene scene, int n)
{
    if (scene == BoothScene::GreenCloth || n < kExposureChanges)
        return 1.0;
    const int m = (n - kExposureChanges) % 600;
    const double drop = 1.0 - kLowestExposure;
    if (m < 90)
        return 1.0 - drop * m / 90.0;
    if (m < 180)
        return kLowestExposure;
    if (m < 270)
        return kLowestExposure + drop * (m - 180) / 90.0;
    return 1.0;
}

cv::Scalar BoothSceneSource::ClothColour()
{
    return { kCloth[0], kCloth[1], kCloth[2] };
}

cv::Mat BoothSceneSource::Render(BoothScene scene, int n, cv::Size size, cv::Mat* truth)
{
    // The empty scene takes longer to draw than the rest: the last one drawn is kept.
    static std::mutex mutex;
    static BoothScene lastScene = BoothScene::Room;
    static cv::Mat last;
    cv::Mat backdrop;
    {
        const std::lock_guard lock(mutex);
        if (last.empty() || last.size() != size || lastScene != scene) {
            last = DrawBackdrop(scene, size);
            lastScene = scene;
        }
        backdrop = last; // shared, never written: RenderOn draws on a copy
    }
    return RenderOn(backdrop, scene, n, truth, n);
}

bool BoothSceneSource::Open()
{
    open_ = true;
    frameNumber_ = 0;
    sceneFrame_ = 0;
    awayUntil_ = -1;
    leaveAsked_ = false;
    if (backdrop_.size() != size_)
        backdrop_ = DrawBackdrop(scene_, size_);
    next_ = std::chrono::steady_clock::now();
    return true;
}

bool BoothSceneSource::Read(cv::Mat& frame)
{
    if (!open_)
        return false;
    if (paced_)
        WaitForNextSceneFrame(next_);
    if (leaveAsked_.exchange(false)) {
        awayUntil_ = frameNumber_ + kAwayFrames;
        // From wherever the story is, the person walks out from where they first stood.
        sceneFrame_ = std::min(sceneFrame_, kPersonStands);
    }
    const bool away = frameNumber_ < awayUntil_;
    frame = RenderOn(backdrop_, scene_, sceneFrame_, nullptr, frameNumber_);
    if (!away)
        ++sceneFrame_;
    else if (sceneFrame_ >= kPersonEnters)
        --sceneFrame_; // the walk in, backwards
    ++frameNumber_;
    return true;
}

std::optional<BoothSceneChoice> BoothSceneName(const std::string& spec)
{
    for (const auto& [name, scene] : { std::pair { std::string("test:booth"), BoothScene::Room },
             std::pair { std::string("test:green"), BoothScene::GreenCloth } }) {
        if (spec == name)
            return BoothSceneChoice { scene, { BoothSceneSource::kWidth, BoothSceneSource::kHeight } };
        if (spec.rfind(name + ":", 0) == 0) {
            if (const std::optional<cv::Size> size = TestSceneSize("test:" + spec.substr(name.size() + 1)))
                return BoothSceneChoice { scene, *size };
            return std::nullopt;
        }
    }
    return std::nullopt;
}
