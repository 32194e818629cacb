#pragma once

#include <opencv2/core.hpp>

// Tells the person from the room by comparing each frame with a learnt picture of the empty
// room. Per pixel the model holds the room's mean colour and how much it varied while learning;
// a frame is compared in brightness and in colour separately, so that a shadow or the camera's
// exposure changing the brightness alone is not taken for a person. The work is done on a
// reduced picture (about 400 pixels wide) and the mask's edges are refined at full size.
class BackgroundModel {
public:
    // Forgets the learnt room: ready() is false until frames are learnt again.
    void Reset();
    // Adds one frame of the empty room (CV_8UC3). Learning after segmenting, or with frames of
    // another size, starts a new room.
    void Learn(const cv::Mat& bgr);
    bool ready() const { return learnt_ > 0; }
    // alpha: CV_8UC1 at bgr's size, 255 = person, 0 = room. Without a learnt room, or for a
    // frame of another size than the room's (the model is then forgotten), the whole picture is
    // person, so nothing of it is replaced. Assumes frames 1/30 s apart.
    void Segment(const cv::Mat& bgr, cv::Mat& alpha);
    // The same for a frame taken at the given time in seconds (any origin, increasing).
    void Segment(const cv::Mat& bgr, cv::Mat& alpha, double seconds);

    // True once most of the picture has differed from the room for two seconds (the camera was
    // moved or the room changed): the room should be learnt again. Stays true until the next
    // Reset or learning, so the caller can tell the user once, when it turns true.
    bool sceneChanged() const { return sceneChanged_; }

    // The part of the picture the camera must see differ for the room to count as changed.
    static constexpr double kChangedShare = 0.6;
    static constexpr double kChangedSeconds = 2.0;

private:
    void FinishLearning();
    void Score(const cv::Mat& small);
    void Decide();
    void Smooth(const cv::Mat& small);
    void Adapt(const cv::Mat& small);
    void WatchForChange(double seconds);

    cv::Size frameSize_;
    cv::Size smallSize_;
    // Learning: sums of the reduced frames and of their squares.
    cv::Mat sum_, sumSquares_;
    int learnt_ = 0;
    bool segmenting_ = false;
    // The room: mean colour (CV_32FC3) and the colour noise scale (CV_32FC1) per reduced pixel.
    cv::Mat mean_, noise_;
    // This frame: how strongly each reduced pixel differs (1 = weakly, 2 = strongly, CV_32FC1);
    // the person decided (CV_8UC1) and its smoothed mask (CV_32FC1, 0 … 1).
    cv::Mat score_, decided_, soft_;
    cv::Mat previousGrey_;
    double time_ = 0;
    double changedSince_ = -1;
    bool sceneChanged_ = false;
};
