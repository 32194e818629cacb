#include "pipeline/PictureModel.h"

#include "pipeline/PictureCommands.h"
#include "pipeline/faces/FaceForEffects.h"

#include <QDir>

PictureModel::PictureModel(const QString& systemDir, const QString& photoDir, PhotoCapture::Notify onPhoto,
    VideoRecorder::Notify onVideo, GifRecorder::Notify onGif)
    : overlays(QDir(systemDir).filePath("loogo.png"))
    , photos(photoDir, std::move(onPhoto))
    , video(std::move(onVideo))
    , gif(std::move(onGif))
    , faces({ systemDir.toStdString() })
{
}

bool PictureModel::ToggleFaceStickers()
{
    const bool on = overlays.ToggleFollowFaces();
    if (!on)
        faces.Reset();
    return on;
}

std::optional<FunFace> PictureModel::FollowFaces(const cv::Mat& camera, const FaceView& view, bool forFunEffect,
    double seconds)
{
    const bool stickers = overlays.followFaces();
    if (!stickers && !forFunEffect)
        return std::nullopt;
    faces.Offer(camera, seconds);
    const std::vector<TrackedFace> found = faces.Faces(seconds);
    if (stickers)
        overlays.FollowFaces(found, view);
    if (!forFunEffect)
        return std::nullopt;
    return FaceForFunEffect(view.ToPicture(found));
}

std::vector<TrackedFace> PictureModel::ShownFaces(double seconds) const
{
    return overlays.faceView().ToPicture(faces.Faces(seconds));
}

void PictureModel::OnCameraStopped()
{
    settings.Change([](PictureSettings& s) { ::OnCameraStopped(s); });
    overlays.ResumeFrameAnimation();
}
