#include "app/CommandLine.h"

#include <QCoreApplication>

CommandLine CommandLine::Parse(const QStringList& arguments)
{
    CommandLine result;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        if (arg == "--source" && i + 1 < arguments.size()) {
            result.source = arguments[++i].toStdString();
        } else if (arg.startsWith("--source=")) {
            result.source = arg.mid(9).toStdString();
        } else if (arg == "--stats") {
            result.stats = true;
        } else {
            result.ok = false;
            result.error = QCoreApplication::translate("CommandLine",
                "Unknown argument: %1\nUsage: parvelwebcam [--source test|test:WxH|INDEX|DEVICE|FILE] [--stats]")
                               .arg(arg);
            return result;
        }
    }
    if (result.source.empty()) {
        result.ok = false;
        result.error = QCoreApplication::translate("CommandLine", "--source needs a value");
    }
    return result;
}
