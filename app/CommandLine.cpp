#include "app/CommandLine.h"

#include "app/HelpColumns.h"
#include "pipeline/capture/FrameSource.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>

#include <algorithm>

namespace {

QString Text(const char* source)
{
    return QCoreApplication::translate("CommandLine", source);
}

// "zh", "zh_CN" and "en" in any case, with "-" or "_"; empty for anything else.
QString LanguageName(const QString& value)
{
    const QString v = value.trimmed().toLower().replace('-', '_');
    if (v == "zh" || v == "zh_cn")
        return QStringLiteral("zh_CN");
    if (v == "en" || v.startsWith("en_"))
        return QStringLiteral("en");
    return {};
}

} // namespace

QString CommandLine::RequestedLanguage(const QStringList& arguments)
{
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        if (arg == "--") // what follows are not options
            break;
        if ((arg == "--lang" || arg == "-lang") && i + 1 < arguments.size())
            return LanguageName(arguments[i + 1]);
        if (arg.startsWith("--lang="))
            return LanguageName(arg.mid(7));
    }
    return {};
}

CommandLine CommandLine::Parse(const QStringList& arguments)
{
    CommandLine result;
    QCommandLineParser parser;
    parser.setApplicationDescription(Text("Parvel 乐影屋：摄像头娱乐程序。"));
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help({ "h", "help" }, Text("显示这些选项的说明。"));
    const QCommandLineOption version({ "v", "version" }, Text("显示程序的版本。"));
    const QCommandLineOption source("source",
        Text("画面来源：摄像头编号（默认 0）、设备路径、视频文件，或 test、test:宽x高（内置的活动测试画面）。"),
        Text("来源"), QStringLiteral("0"));
    const QCommandLineOption lang("lang", Text("界面语言：zh（中文）或 en（英文）；默认跟随系统。"),
        Text("语言"));
    const QCommandLineOption stats("stats", Text("每秒在标准错误输出上报告每秒画面数、延迟和各步骤用时。"));
    parser.addOption(help);
    parser.addOption(version);
    parser.addOption(source);
    parser.addOption(lang);
    parser.addOption(stats);

    auto fail = [&](const QString& why) {
        result.ok = false;
        result.error = why + QLatin1Char('\n') + Text("用 --help 查看可用的选项。");
        return result;
    };
    if (!parser.parse(arguments))
        return fail(parser.errorText());
    if (!parser.positionalArguments().isEmpty())
        return fail(Text("多余的参数：%1").arg(parser.positionalArguments().join(' ')));
    if (parser.isSet(help)) {
        // The parser counts characters, and a Chinese one takes two columns: the table is ours.
        result.action = Action::PrintAndExit;
        std::vector<std::pair<QString, QString>> rows;
        for (const QCommandLineOption& option : { help, version, source, lang, stats }) {
            QStringList names;
            for (const QString& name : option.names())
                names << (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
            QString shown = names.join(QStringLiteral(", "));
            if (!option.valueName().isEmpty())
                shown += QStringLiteral(" <%1>").arg(option.valueName());
            rows.emplace_back(shown, option.description());
        }
        const QString program = arguments.isEmpty() ? QStringLiteral("parvelwebcam") : arguments.constFirst();
        result.output = Text("用法：%1 [选项]").arg(program) + QLatin1Char('\n') + parser.applicationDescription()
            + QStringLiteral("\n\n") + Text("选项：") + QLatin1Char('\n') + OptionColumns(rows);
        return result;
    }
    if (parser.isSet(version)) {
        result.action = Action::PrintAndExit;
        result.output = QStringLiteral("%1 %2\n").arg(QCoreApplication::applicationName(),
                                                      QCoreApplication::applicationVersion());
        return result;
    }
    if (parser.isSet(source)) {
        const QStringList values = parser.values(source);
        if (values.size() > 1)
            return fail(Text("--source 只能给一次。"));
        if (values.constFirst().isEmpty())
            return fail(Text("--source 需要一个值：摄像头编号、设备路径、视频文件或 test。"));
        // Otherwise it would be taken for a file name, and fail later with a camera box.
        const QString value = values.constFirst();
        if (value.startsWith(QLatin1String("test:")) && !IsTestSceneName(value.toStdString())) {
            return fail(Text("测试画面的尺寸不对：%1（写作 test:宽x高，宽 %2 到 %3，高 %4 到 %5）")
                            .arg(value)
                            .arg(kMinTestSceneWidth)
                            .arg(kMaxTestSceneWidth)
                            .arg(kMinTestSceneHeight)
                            .arg(kMaxTestSceneHeight));
        }
        // A video file that is not there, or cannot be read, is named as such instead of being
        // taken for a camera that was not found. Camera numbers, device nodes, scenes and
        // addresses of streams are left to the start.
        const bool number = std::all_of(value.begin(), value.end(), [](QChar c) { return c.isDigit(); });
        const bool elsewhere = number || value.startsWith(QLatin1String("/dev/")) || value.startsWith(QLatin1String("test"))
            || value.contains(QLatin1String("://"));
        if (!elsewhere) {
            const QFileInfo file(value);
            if (!file.exists())
                return fail(Text("找不到视频文件：%1").arg(value));
            if (!file.isFile() || !file.isReadable())
                return fail(Text("无法读取视频文件：%1").arg(value));
        }
    }
    result.source = parser.value(source).toStdString();
    result.sourceGiven = parser.isSet(source);
    if (parser.isSet(lang)) {
        result.lang = LanguageName(parser.value(lang));
        if (result.lang.isEmpty())
            return fail(Text("不认识的语言：%1（可用 zh 或 en）").arg(parser.value(lang)));
    }
    result.stats = parser.isSet(stats);
    return result;
}
