#include "app/CameraReturn.h"

#include "pipeline/PictureSession.h"
#include "pipeline/capture/CameraSource.h"

#include <QTimer>

CameraReturn::CameraReturn(PictureSession& session, std::shared_ptr<CameraList> cameras, NodeLister nodes,
    QObject* parent)
    : QObject(parent)
    , session_(session)
    , cameras_(std::move(cameras))
    , nodes_(std::move(nodes))
{
    if (nodes_) {
        const std::vector<std::string> now = nodes_();
        lastNodes_ = { now.begin(), now.end() };
    }
    timer_ = new QTimer(this);
    timer_->setInterval(kLookPeriodMs);
    connect(timer_, &QTimer::timeout, this, &CameraReturn::Look);
    timer_->start();
    connect(&session_, &PictureSession::cameraLost, this, &CameraReturn::OnLost);
    // A start by any other way ends the wait.
    connect(&session_, &PictureSession::cameraSwitched, this, [this](bool running) {
        if (!running)
            return;
        waitingFor_.clear();
        const std::optional<CameraAgreement>& agreed = session_.loop().agreement();
        if (agreed)
            NoteRunning(agreed->device);
        else
            running_ = {};
    });
}

void CameraReturn::NoteRunning(const std::string& device)
{
    running_ = {};
    if (!cameras_)
        return;
    for (CameraInfo& camera : cameras_->Cameras())
        if (CameraSource::DevicePath(camera.source) == device) {
            running_ = std::move(camera);
            return;
        }
}

void CameraReturn::OnLost()
{
    waitingFor_ = running_.id;
}

void CameraReturn::Look()
{
    if (!nodes_)
        return;
    const std::vector<std::string> listed = nodes_();
    std::set<std::string> now(listed.begin(), listed.end());
    if (now == lastNodes_)
        return;
    lastNodes_ = std::move(now);
    emit camerasChanged();
    if (waitingFor_.empty() || session_.running() || !cameras_)
        return;
    for (const CameraInfo& camera : cameras_->Cameras()) {
        if (camera.id != waitingFor_)
            continue;
        emit cameraReturning(QString::fromStdString(camera.name));
        // Quietly: a camera that went again meanwhile is waited for again, without a box.
        if (!session_.Start(false))
            return;
        waitingFor_.clear();
        return;
    }
}
