#pragma once

#include <opencv2/core.hpp>
#include <opencv2/objdetect.hpp>

#include <string>
#include <vector>

// Finds frontal faces with one of the cascades OpenCV's data package ships. Detection runs on a
// reduced grey copy, which keeps one run to a few milliseconds at any camera size; the boxes
// come back in picture coordinates. Not thread-safe: one detector per thread.
class FaceDetector {
public:
    // Width of the grey copy the cascade runs on; narrower pictures are used as they are.
    static constexpr int kReducedWidth = 320;
    // Smallest face looked for on the reduced copy, and how many overlapping finds make a face.
    // An eighth of the picture's width: someone playing in front of a webcam is nearer than that,
    // and the smallest scales cost the most (twice the time of the cascade's own 20 pixels).
    static constexpr int kMinFace = 40;
    static constexpr int kMinNeighbours = 3;

    // The cascade file to use: the first one found in extraDirs (in order), then (dataDirs) in
    // the folders where OpenCV's data is installed. Empty when there is none.
    static std::string FindCascade(const std::vector<std::string>& extraDirs = {}, bool dataDirs = true);

    // Loads the given cascade file (FindCascade's choice, usually).
    explicit FaceDetector(const std::string& cascadePath);

    // False when no cascade could be loaded; Detect then finds nothing.
    bool loaded() const { return loaded_; }
    const std::string& cascadePath() const { return cascadePath_; }

    // Faces in a BGR or grey picture, in picture pixels, largest first.
    std::vector<cv::Rect> Detect(const cv::Mat& picture);

private:
    cv::CascadeClassifier cascade_;
    std::string cascadePath_;
    bool loaded_ = false;
    cv::Mat grey_;    // reused between runs
    cv::Mat reduced_;
};
