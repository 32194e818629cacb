#include "pipeline/faces/FaceDetector.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace {

// Where Debian's opencv-data and a locally built OpenCV put their cascades.
const char* const kDataDirs[] = {
    "/usr/share/opencv4",
    "/usr/local/share/opencv4",
};

// Preferred first. The file names are those the data package uses.
const char* const kCascades[] = {
    "haarcascades/haarcascade_frontalface_alt2.xml",
    "haarcascades/haarcascade_frontalface_default.xml",
    "lbpcascades/lbpcascade_frontalface_improved.xml",
};

bool IsFile(const std::filesystem::path& path)
{
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec);
}

} // namespace

std::string FaceDetector::FindCascade(const std::vector<std::string>& extraDirs, bool dataDirs)
{
    // A copy beside the program is looked for under its plain file name.
    for (const std::string& dir : extraDirs) {
        for (const char* cascade : kCascades) {
            const std::filesystem::path path = std::filesystem::path(dir) / std::filesystem::path(cascade).filename();
            if (IsFile(path))
                return path.string();
        }
    }
    for (const char* cascade : kCascades) {
        if (!dataDirs)
            break;
        for (const char* dir : kDataDirs) {
            const std::filesystem::path path = std::filesystem::path(dir) / cascade;
            if (IsFile(path))
                return path.string();
        }
    }
    return {};
}

FaceDetector::FaceDetector(const std::string& cascadePath)
    : cascadePath_(cascadePath)
{
    if (cascadePath.empty())
        return;
    try {
        loaded_ = cascade_.load(cascadePath) && !cascade_.empty();
    } catch (const cv::Exception&) {
        // A damaged file: no faces rather than a crash.
        loaded_ = false;
    }
}

std::vector<cv::Rect> FaceDetector::Detect(const cv::Mat& picture)
{
    std::vector<cv::Rect> faces;
    if (!loaded_ || picture.empty() || picture.depth() != CV_8U)
        return faces;
    if (picture.channels() == 3)
        cv::cvtColor(picture, grey_, cv::COLOR_BGR2GRAY);
    else if (picture.channels() == 4)
        cv::cvtColor(picture, grey_, cv::COLOR_BGRA2GRAY);
    else if (picture.channels() == 1)
        picture.copyTo(grey_);
    else
        return faces;

    double scale = 1.0;
    if (grey_.cols > kReducedWidth) {
        scale = static_cast<double>(grey_.cols) / kReducedWidth;
        const int height = std::max(1, cvRound(grey_.rows / scale));
        cv::resize(grey_, reduced_, cv::Size(kReducedWidth, height), 0, 0, cv::INTER_AREA);
    } else {
        cv::swap(grey_, reduced_);
    }
    // Evens out the camera's exposure, which the cascade's features are sensitive to.
    cv::equalizeHist(reduced_, reduced_);

    std::vector<cv::Rect> found;
    cascade_.detectMultiScale(reduced_, found, 1.1, kMinNeighbours, cv::CASCADE_SCALE_IMAGE, cv::Size(kMinFace, kMinFace));
    faces.reserve(found.size());
    const cv::Rect whole(0, 0, picture.cols, picture.rows);
    for (const cv::Rect& r : found) {
        const cv::Rect back(cvRound(r.x * scale), cvRound(r.y * scale), cvRound(r.width * scale),
            cvRound(r.height * scale));
        const cv::Rect inside = back & whole;
        if (!inside.empty())
            faces.push_back(inside);
    }
    std::sort(faces.begin(), faces.end(), [](const cv::Rect& a, const cv::Rect& b) { return a.area() > b.area(); });
    return faces;
}
