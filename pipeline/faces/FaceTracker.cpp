#include "pipeline/faces/FaceTracker.h"

#include "pipeline/stages/BackgroundThread.h"

#include <chrono>

FaceTracker::FaceTracker(std::vector<std::string> cascadeDirs, bool dataDirs)
    : cascadeDirs_(std::move(cascadeDirs))
    , dataDirs_(dataDirs)
{
}

FaceTracker::~FaceTracker()
{
    {
        std::scoped_lock lock(slotMutex_);
        stopping_ = true;
    }
    slotChanged_.notify_all();
    if (thread_.joinable())
        thread_.join();
}

double FaceTracker::Now()
{
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

void FaceTracker::Offer(const cv::Mat& picture, double seconds)
{
    if (picture.empty())
        return;
    if (offers_++ % kDetectEvery != 0)
        return;
    std::unique_lock lock(slotMutex_, std::try_to_lock);
    if (!lock.owns_lock() || stopping_)
        return; // the thread is taking the previous picture; the next offer will do
    picture.copyTo(pending_);
    pendingSeconds_ = seconds;
    hasPending_ = true;
    if (!thread_.joinable())
        thread_ = std::thread([this] { Run(); });
    lock.unlock();
    slotChanged_.notify_one();
}

void FaceTracker::Run()
{
    // A detection finishing a frame later costs nothing, a picture shown late does.
    YieldCoresToThePicture();
    cv::Mat working;
    for (;;) {
        double seconds = 0;
        {
            std::unique_lock lock(slotMutex_);
            slotChanged_.wait(lock, [this] { return hasPending_ || stopping_; });
            if (stopping_)
                return;
            cv::swap(pending_, working);
            seconds = pendingSeconds_;
            hasPending_ = false;
        }
        const std::uint64_t generation = generation_.load();
        std::scoped_lock detecting(detectorMutex_);
        DetectAndFold(working, seconds, generation);
    }
}

void FaceTracker::LoadDetector()
{
    if (!detector_) {
        detector_ = std::make_unique<FaceDetector>(FaceDetector::FindCascade(cascadeDirs_, dataDirs_));
        detectorLoaded_.store(detector_->loaded());
    }
}

bool FaceTracker::Prepare()
{
    std::scoped_lock detecting(detectorMutex_);
    LoadDetector();
    return detector_->loaded();
}

void FaceTracker::DetectAndFold(const cv::Mat& picture, double seconds, std::uint64_t generation)
{
    LoadDetector();
    const std::vector<cv::Rect> found = detector_->Detect(picture);
    {
        std::scoped_lock lock(tracksMutex_);
        if (generation == generation_.load())
            tracks_.Update(found, seconds);
    }
    facesFound_ += found.size();
    ++runs_;
}

void FaceTracker::DetectNow(const cv::Mat& picture, double seconds)
{
    std::scoped_lock detecting(detectorMutex_);
    DetectAndFold(picture, seconds, generation_.load());
}

std::vector<TrackedFace> FaceTracker::Faces(double now) const
{
    std::scoped_lock lock(tracksMutex_);
    return tracks_.Faces(now);
}

void FaceTracker::Reset()
{
    std::scoped_lock lock(tracksMutex_);
    ++generation_;
    tracks_.Clear();
}
