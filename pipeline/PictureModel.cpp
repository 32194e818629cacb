#include "pipeline/PictureModel.h"

#include "pipeline/PictureCommands.h"

#include <QDir>

PictureModel::PictureModel(const QString& systemDir, const QString& photoDir, PhotoCapture::Notify onPhoto)
    : overlays(QDir(systemDir).filePath("loogo.png"))
    , photos(photoDir, std::move(onPhoto))
{
}

void PictureModel::OnCameraStopped()
{
    settings.Change([](PictureSettings& s) { ::OnCameraStopped(s); });
    overlays.ResumeFrameAnimation();
}
