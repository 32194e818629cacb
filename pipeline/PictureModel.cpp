#include "pipeline/PictureModel.h"

#include "pipeline/PictureCommands.h"

#include <QDir>

PictureModel::PictureModel(const QString& systemDir, const QString& photoDir, PhotoCapture::Notify onPhoto,
    VideoRecorder::Notify onVideo, GifRecorder::Notify onGif)
    : overlays(QDir(systemDir).filePath("loogo.png"))
    , photos(photoDir, std::move(onPhoto))
    , video(std::move(onVideo))
    , gif(std::move(onGif))
{
}

void PictureModel::OnCameraStopped()
{
    settings.Change([](PictureSettings& s) { ::OnCameraStopped(s); });
    overlays.ResumeFrameAnimation();
}
