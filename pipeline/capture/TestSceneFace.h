#pragma once

#include <opencv2/core.hpp>

#include <string>

// A face for the test scene, so that stickers that follow faces can be tried without a webcam:
// a head-and-shoulders photograph moving slowly across the picture and growing and shrinking a
// little, as a person does in front of a camera.

// File name of the photograph in the system folder.
inline constexpr const char* kTestSceneFaceFile = "test-scene-face.png";

// The photograph as BGRA (its alpha fades the edges into the scene); empty when it cannot be read.
cv::Mat LoadTestSceneFace(const std::string& path);

// Where the photograph of the given size sits in a frame of frameSize at time `seconds`: about
// seven tenths of the frame high, its centre on a smooth closed path that keeps it wholly inside.
cv::Rect MovingFacePlace(cv::Size frameSize, double seconds, cv::Size photoSize);

// Where the face itself is at that time: the box the detector finds around it, worked out from
// the photograph's place (the face's centre is at 0.477, 0.412 of the photograph, its width 0.4
// of the photograph's).
cv::Rect2d MovingFaceBox(cv::Size frameSize, double seconds, cv::Size photoSize);

// Pastes the photograph (BGRA, from LoadTestSceneFace) into a BGR frame at
// MovingFacePlace(frame size, seconds, photo size), with its transparency.
void DrawMovingFace(cv::Mat& frame, double seconds, const cv::Mat& photo);
