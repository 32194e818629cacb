#pragma once

#include "fakecam/FakeUvcPattern.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <filesystem>
#include <fstream>
#include <string>

extern "C" void fakeuvc_configure(const char* devices, const char* controlFile);

// The fake USB webcam at /dev/video40, driven through its control file.
class FakeCameraRig : public ::testing::Test {
protected:
    static constexpr const char* kDevice = "/dev/video40";

    void SetUp() override
    {
        ASSERT_TRUE(dir_.isValid());
        control_ = dir_.filePath("control").toStdString();
        Tell("unplugged=0\n");
        fakeuvc_configure(kDevice, control_.c_str());
    }
    void TearDown() override
    {
        Tell("unplugged=0\n");
        fakeuvc_configure("", "");
    }

    // What the camera does from now on (a USB hiccup, an unplug). Written aside and renamed
    // over the old file: a new file is seen as a change even within one tick of the file clock.
    void Tell(const std::string& lines)
    {
        const std::string aside = control_ + ".new" + std::to_string(++changes_);
        std::ofstream(aside, std::ios::trunc) << lines;
        std::filesystem::rename(aside, control_);
    }

private:
    QTemporaryDir dir_;
    std::string control_;
    int changes_ = 0;
};
