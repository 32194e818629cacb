#include "pipeline/PictureModel.h"

#include "pipeline/PictureCommands.h"

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

void PictureModel::FollowFaces(const cv::Mat& camera, const FaceView& view, double seconds)
{
    if (!overlays.followFaces())
        return;
    faces.Offer(camera, seconds);
    overlays.FollowFaces(faces.Faces(seconds), view);
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
