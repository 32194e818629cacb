#include "app/SettingsNotice.h"

#include <QCoreApplication>
#include <QStringList>

namespace {

QString Text(const char* source)
{
    return QCoreApplication::translate("SettingsNotice", source);
}

QString RowName(SettingRow row)
{
    switch (row) {
    case SettingRow::ImageWidth: return Text("图像宽度");
    case SettingRow::ImageHeight: return Text("图像高度");
    case SettingRow::CameraDetected: return Text("摄像头检测标记");
    case SettingRow::DelaySeconds: return Text("延时秒数");
    default: return Text("设置");
    }
}

} // namespace

QString SettingsNotice(const std::vector<SettingProblem>& problems)
{
    if (problems.empty())
        return {};
    QStringList parts;
    for (const SettingProblem& p : problems) {
        // The cell as the spreadsheet names it: column B, rows counted from 1.
        parts << Text("B%1（%2）为“%3”，改用 %4")
                     .arg(static_cast<int>(p.row) + 1)
                     .arg(RowName(p.row), QString::fromStdString(p.cellText))
                     .arg(p.replacement);
    }
    return Text("配置文件中的数值无法使用：") + parts.join(Text("；"));
}
