#include "app/CameraControlMemory.h"

#include <QSettings>
#include <QStringList>
#include <QUrl>

#include <algorithm>

namespace {

// Identifiers hold "/" (a group separator to QSettings) and spaces: encoded, they are one key.
QString GroupOf(const char* kind, const std::string& name)
{
    return QStringLiteral("CameraControls/%1/%2")
        .arg(QLatin1String(kind), QString::fromLatin1(QUrl::toPercentEncoding(QString::fromStdString(name))));
}

QString IdGroup(const CameraInfo& camera)
{
    return GroupOf("ById", camera.id);
}

QString NameGroup(const CameraInfo& camera)
{
    return GroupOf("ByName", camera.name);
}

std::map<std::string, int> ReadGroup(QSettings& settings, const QString& group)
{
    std::map<std::string, int> values;
    settings.beginGroup(group);
    for (const std::string_view key : CameraControlKeys()) {
        bool ok = false;
        const int value = settings.value(QString::fromLatin1(key.data(), qsizetype(key.size()))).toInt(&ok);
        if (ok)
            values.emplace(std::string(key), value);
    }
    settings.endGroup();
    return values;
}

bool KnownKey(const std::string& key)
{
    const auto keys = CameraControlKeys();
    return std::find(keys.begin(), keys.end(), key) != keys.end();
}

} // namespace

std::map<std::string, int> RememberedControls(const CameraInfo& camera)
{
    QSettings settings;
    std::map<std::string, int> values = ReadGroup(settings, IdGroup(camera));
    return values.empty() ? ReadGroup(settings, NameGroup(camera)) : values;
}

void RememberControl(const CameraInfo& camera, const std::string& key, int value)
{
    if (!KnownKey(key))
        return;
    QSettings settings;
    const QString idGroup = IdGroup(camera);
    // At a new port the camera starts from what its name remembers, so that one change there does
    // not hide the others.
    if (ReadGroup(settings, idGroup).empty())
        for (const auto& [k, v] : ReadGroup(settings, NameGroup(camera)))
            settings.setValue(idGroup + QLatin1Char('/') + QString::fromStdString(k), v);
    settings.setValue(idGroup + QLatin1Char('/') + QString::fromStdString(key), value);
    settings.setValue(NameGroup(camera) + QLatin1Char('/') + QString::fromStdString(key), value);
}

void ForgetControls(const CameraInfo& camera)
{
    QSettings settings;
    settings.remove(IdGroup(camera));
    settings.remove(NameGroup(camera));
}

std::vector<std::pair<std::string, CameraControlOutcome>> ApplyRememberedControls(
    const CameraInfo& camera, CameraControlDevice& device)
{
    const std::map<std::string, int> values = RememberedControls(camera);
    if (values.empty())
        return {};
    return ApplyControlValues(device, values);
}

void ApplyRememberedControls(const CameraInfo& camera)
{
    if (RememberedControls(camera).empty())
        return;
    if (const std::unique_ptr<CameraControlDevice> device = MakeCameraControlDevice(camera))
        ApplyRememberedControls(camera, *device);
}
