#pragma once

#include <QStringList>

#include <string>

// What the command line asks for. The program has no options of its own beyond naming another
// picture source, so that it can be tried where no webcam is plugged in, and printing the frame
// loop's figures.
struct CommandLine {
    std::string source = "0"; // camera index, device path, video file, "test" or "test:WxH"
    bool stats = false;       // print pictures per second and latency once a second
    bool ok = true;
    QString error;

    static CommandLine Parse(const QStringList& arguments);
};
