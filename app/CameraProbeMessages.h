#pragma once

struct CameraProbeResult;
class QWidget;

// The question the user gets whenever no camera could be opened (a start or the probe).
void ShowNoCameraMessage(QWidget* parent);

// Tells the user what the first-run measurement found, through the program's message boxes.
void ShowCameraProbeResult(QWidget* parent, const CameraProbeResult& result);
