#pragma once

#include "pipeline/capture/CameraControls.h"

#include <map>
#include <string>
#include <utility>
#include <vector>

// The camera controls the user set, kept in the settings profile per camera: by its identifier
// (name and bus position), and by its name alone, so that the same camera plugged into another
// USB port finds its values again. Safe to call from any thread.

// The remembered values of the camera, by control key; empty when none were set.
std::map<std::string, int> RememberedControls(const CameraInfo& camera);
// A value the user set.
void RememberControl(const CameraInfo& camera, const std::string& key, int value);
// Forgets every value of the camera (its defaults are set by the caller).
void ForgetControls(const CameraInfo& camera);

// Sets the remembered values on the camera, the automatic modes before the values they grey;
// what each setting came to, for the values there were.
std::vector<std::pair<std::string, CameraControlOutcome>> ApplyRememberedControls(
    const CameraInfo& camera, CameraControlDevice& device);
// The same on the camera's own device; meant for right after a start has opened the camera. Opens
// nothing when nothing is remembered.
void ApplyRememberedControls(const CameraInfo& camera);
