#pragma once

#include <QStringList>

#include <string>

// What the command line asks for. The program has no options of its own beyond naming another
// picture source, so that it can be tried where no webcam is plugged in.
struct CommandLine {
    std::string source = "0"; // camera index, device path, video file, or "test"
    bool ok = true;
    QString error;

    static CommandLine Parse(const QStringList& arguments);
};
