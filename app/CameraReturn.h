#pragma once

#include "pipeline/capture/CameraList.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <set>
#include <string>

class PictureSession;
class QTimer;

// Plugging in and out while the program runs. The video device nodes are looked at once a second
// (a listing of names, no device is opened); when they change, whoever lists cameras hears of it,
// and a camera that was lost while running starts again by itself when it is back: the same
// camera, known by its name and place on the bus, with the size the picture has.
class CameraReturn : public QObject {
    Q_OBJECT
public:
    using NodeLister = std::function<std::vector<std::string>()>;
    CameraReturn(PictureSession& session, std::shared_ptr<CameraList> cameras, NodeLister nodes,
        QObject* parent = nullptr);

    // One look at the nodes (the timer's; tests call it).
    void Look();
    // The camera that runs now, by its device node, from what it agreed to at its start.
    void NoteRunning(const std::string& device);
    // The identifier of the camera waited for; empty when none.
    const std::string& waitingFor() const { return waitingFor_; }

    static constexpr int kLookPeriodMs = 1000;

signals:
    // Cameras came or went.
    void camerasChanged();
    // The lost camera is back and about to start again; then its start is reported as any other.
    void cameraReturning(const QString& name);

private:
    void OnLost();

    PictureSession& session_;
    std::shared_ptr<CameraList> cameras_;
    NodeLister nodes_;
    QTimer* timer_ = nullptr;
    std::set<std::string> lastNodes_;
    CameraInfo running_;       // the camera of the running start, when it is a listed one
    std::string waitingFor_;   // the lost camera's identifier
};
