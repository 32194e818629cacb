#pragma once

#include <QString>
#include <QStringList>

#include <string>

// What the command line asks for: another picture source (so that the program can be tried
// where no webcam is plugged in), the interface language and the frame-rate figures.
struct CommandLine {
    // What the program does after parsing: run, or print `output` and end (help, version), or
    // print `error` on standard error and end with status 2.
    enum class Action { Run, PrintAndExit };

    std::string source = "0"; // camera index, device path, video file, or "test"
    bool sourceGiven = false;  // --source was given: it wins over the camera chosen in the ribbon
    bool stats = false;       // show the frame-rate figures
    QString lang;             // "", "en" or "zh_CN"
    Action action = Action::Run;
    QString output;
    bool ok = true;
    QString error;

    static CommandLine Parse(const QStringList& arguments);
    // The --lang value alone, read before the texts of the full parse are translated; empty when
    // not given or not understood (the full parse reports it).
    static QString RequestedLanguage(const QStringList& arguments);
};

// Exit status of a command line that could not be understood.
inline constexpr int kBadCommandLineStatus = 2;
