#include "app/CCameraControlsDlg.h"

#include "app/CameraControlMemory.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdint>

namespace {

// The dialog's rows: a label, the automatic mode that takes the value over (if any), the value.
struct RowText {
    const char* label;
    const char* modeKey;
    const char* valueKey;
};

const RowText kRows[] = {
    { QT_TRANSLATE_NOOP("CCameraControlsDlg", "亮度"), nullptr, "brightness" },
    { QT_TRANSLATE_NOOP("CCameraControlsDlg", "对比度"), nullptr, "contrast" },
    { QT_TRANSLATE_NOOP("CCameraControlsDlg", "饱和度"), nullptr, "saturation" },
    { QT_TRANSLATE_NOOP("CCameraControlsDlg", "色调"), nullptr, "hue" },
    { QT_TRANSLATE_NOOP("CCameraControlsDlg", "清晰度"), nullptr, "sharpness" },
    { QT_TRANSLATE_NOOP("CCameraControlsDlg", "伽马"), nullptr, "gamma" },
    { QT_TRANSLATE_NOOP("CCameraControlsDlg", "白平衡"), "white_balance_automatic", "white_balance_temperature" },
    { QT_TRANSLATE_NOOP("CCameraControlsDlg", "曝光"), "exposure_automatic", "exposure_time" },
    { QT_TRANSLATE_NOOP("CCameraControlsDlg", "背光补偿"), nullptr, "backlight_compensation" },
    { QT_TRANSLATE_NOOP("CCameraControlsDlg", "电源频率"), nullptr, "power_line_frequency" },
    { QT_TRANSLATE_NOOP("CCameraControlsDlg", "对焦"), "focus_automatic", "focus_distance" },
    { QT_TRANSLATE_NOOP("CCameraControlsDlg", "缩放"), nullptr, "zoom" },
};

// A slider has at most this many positions; a wider range moves in larger steps.
constexpr std::int64_t kMaxPositions = 100000;

QString Text(const char* text)
{
    return QCoreApplication::translate("CCameraControlsDlg", text);
}

// The mains frequency entries in our words; other menus keep the camera's names.
QString EntryName(const CameraControl& control, const CameraMenuEntry& entry)
{
    if (control.key == "power_line_frequency") {
        switch (entry.value) {
        case 0:
            return Text("禁用");
        case 1:
            return QStringLiteral("50 Hz");
        case 2:
            return QStringLiteral("60 Hz");
        case 3:
            return Text("自动");
        default:
            break;
        }
    }
    return QString::fromStdString(entry.name);
}

QString ValueText(const CameraControl& control, int value)
{
    return control.key == "white_balance_temperature" ? QStringLiteral("%1 K").arg(value) : QString::number(value);
}

QString OutcomeText(CameraControlOutcome outcome)
{
    switch (outcome) {
    case CameraControlOutcome::Done:
        return {};
    case CameraControlOutcome::OutOfRange:
        return Text("摄像头不接受这个值。");
    case CameraControlOutcome::Inactive:
        return Text("自动模式开启时不能调整这一项。");
    case CameraControlOutcome::Busy:
        return Text("这一项是只读的，或正被其他程序占用。");
    case CameraControlOutcome::NoSuchControl:
        return Text("摄像头没有这一项设置。");
    case CameraControlOutcome::Refused:
    case CameraControlOutcome::CameraGone:
    case CameraControlOutcome::Unsupported:
        break;
    }
    return Text("摄像头拒绝了这次调整。");
}

} // namespace

// The widgets of one control.
struct CCameraControlsDlg::Row {
    QSlider* slider = nullptr;
    QLabel* valueLabel = nullptr;
    QCheckBox* box = nullptr;
    QComboBox* menu = nullptr;
    int minimum = 0;
    std::int64_t unit = 1; // value per slider position: the control's step, or a multiple of it

    int ValueAt(int position) const { return int(std::int64_t(minimum) + position * unit); }
    int PositionOf(int value) const { return int((std::int64_t(value) - minimum + unit / 2) / unit); }
    void SetEnabled(bool on) const
    {
        for (QWidget* widget : { static_cast<QWidget*>(slider), static_cast<QWidget*>(valueLabel),
                 static_cast<QWidget*>(box), static_cast<QWidget*>(menu) })
            if (widget != nullptr)
                widget->setEnabled(on);
    }
};

CCameraControlsDlg::CCameraControlsDlg(const CameraInfo* camera, std::unique_ptr<CameraControlDevice> device,
    QWidget* parent)
    : QDialog(parent)
    , device_(std::move(device))
{
    setWindowTitle(tr("摄像头设置"));
    auto* layout = new QVBoxLayout(this);
    if (camera != nullptr) {
        camera_ = *camera;
        auto* name = new QLabel(tr("摄像头：%1").arg(QString::fromStdString(camera->name)), this);
        layout->addWidget(name);
        if (!device_)
            device_ = MakeCameraControlDevice(*camera);
    }
    grid_ = new QWidget(this);
    gridLayout_ = new QGridLayout(grid_);
    gridLayout_->setContentsMargins(0, 0, 0, 0);
    gridLayout_->setColumnStretch(2, 1);
    gridLayout_->setColumnMinimumWidth(2, 220);
    layout->addWidget(grid_);
    message_ = new QLabel(this);
    message_->setWordWrap(true);
    message_->hide();
    layout->addWidget(message_);
    auto* buttons = new QDialogButtonBox(this);
    defaults_ = buttons->addButton(tr("恢复默认"), QDialogButtonBox::ResetRole);
    close_ = buttons->addButton(tr("关闭"), QDialogButtonBox::RejectRole);
    close_->setDefault(true);
    layout->addWidget(buttons);
    connect(close_, &QPushButton::clicked, this, &QDialog::reject);
    connect(defaults_, &QPushButton::clicked, this, &CCameraControlsDlg::RestoreDefaults);

    if (!camera_ || !device_) {
        ShowUnavailable(tr("未找到摄像设备\n内置摄像头是否禁用或USB摄像头未插入?"));
        return;
    }
    const CameraControlQuery query = device_->Query();
    if (query.outcome == CameraControlOutcome::Done && query.controls.empty()) {
        ShowUnavailable(tr("这个摄像头没有可以调整的设置。"));
        return;
    }
    Build(query.controls);
    Refresh(); // says so when the query failed
}

CCameraControlsDlg::~CCameraControlsDlg() = default;

void CCameraControlsDlg::Build(const std::vector<CameraControl>& controls)
{
    int gridRow = 0;
    for (const RowText& text : kRows) {
        const CameraControl* mode = text.modeKey != nullptr ? FindControl(controls, text.modeKey) : nullptr;
        const CameraControl* value = FindControl(controls, text.valueKey);
        if (mode == nullptr && value == nullptr)
            continue;
        gridLayout_->addWidget(new QLabel(Text(text.label), grid_), gridRow, 0);
        if (mode != nullptr)
            AddControl(*mode, gridRow, 1);
        if (value != nullptr)
            AddControl(*value, gridRow, 2);
        ++gridRow;
    }
}

void CCameraControlsDlg::AddControl(const CameraControl& control, int gridRow, int column)
{
    auto row = std::make_unique<Row>();
    const std::string key = control.key;
    if (IsAutomaticMode(key)) {
        row->box = new QCheckBox(tr("自动"), grid_);
        gridLayout_->addWidget(row->box, gridRow, column);
        connect(row->box, &QCheckBox::toggled, this, [this, key](bool on) {
            const CameraControl* now = FindControl(controls_, key);
            if (const std::optional<int> value = now != nullptr ? AutomaticValue(*now, on) : std::nullopt)
                Change(key, *value);
        });
    } else if (control.kind == CameraControlKind::Integer) {
        row->minimum = control.minimum;
        const std::int64_t span = std::int64_t(control.maximum) - control.minimum;
        const std::int64_t step = std::max(control.step, 1);
        row->unit = step * std::max<std::int64_t>(1, (span / step + kMaxPositions - 1) / kMaxPositions);
        row->slider = new QSlider(Qt::Horizontal, grid_);
        const int positions = int(span / row->unit);
        row->slider->setRange(0, positions);
        row->slider->setPageStep(std::max(1, positions / 10));
        row->slider->setToolTip(tr("范围 %1 至 %2，步长 %3，默认 %4")
                                    .arg(ValueText(control, control.minimum), ValueText(control, control.maximum))
                                    .arg(control.step)
                                    .arg(ValueText(control, control.defaultValue)));
        row->valueLabel = new QLabel(grid_);
        row->valueLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        // Wide enough for any value, so that the slider does not shift as the number changes.
        const QFontMetrics metrics(row->valueLabel->font());
        row->valueLabel->setMinimumWidth(std::max(metrics.horizontalAdvance(ValueText(control, control.minimum)),
            metrics.horizontalAdvance(ValueText(control, control.maximum))));
        gridLayout_->addWidget(row->slider, gridRow, column);
        gridLayout_->addWidget(row->valueLabel, gridRow, column + 1);
        const Row* shown = row.get();
        connect(row->slider, &QSlider::valueChanged, this, [this, key, shown](int position) {
            Change(key, shown->ValueAt(position));
        });
    } else if (control.kind == CameraControlKind::Boolean) {
        row->box = new QCheckBox(tr("开启"), grid_);
        gridLayout_->addWidget(row->box, gridRow, column);
        connect(row->box, &QCheckBox::toggled, this, [this, key](bool on) { Change(key, on ? 1 : 0); });
    } else {
        row->menu = new QComboBox(grid_);
        for (const CameraMenuEntry& entry : control.entries)
            row->menu->addItem(EntryName(control, entry), entry.value);
        if (key == "power_line_frequency")
            row->menu->setToolTip(tr("日光灯随交流电闪烁：这一项与当地电网的频率（中国为 50 Hz）不符时，画面上会有闪烁或滚动的横纹。"));
        gridLayout_->addWidget(row->menu, gridRow, column, 1, 2);
        const QComboBox* menu = row->menu;
        connect(row->menu, &QComboBox::currentIndexChanged, this, [this, key, menu](int index) {
            Change(key, menu->itemData(index).toInt());
        });
    }
    rows_[key] = std::move(row);
}

void CCameraControlsDlg::Refresh()
{
    CameraControlQuery query = device_->Query();
    if (query.outcome == CameraControlOutcome::Unsupported) {
        ShowUnavailable(tr("在这个系统上无法调整摄像头自身的设置。"));
        return;
    }
    if (query.outcome != CameraControlOutcome::Done) {
        ShowUnavailable(tr("摄像头“%1”已拔出或无法打开。").arg(QString::fromStdString(camera_->name)));
        return;
    }
    controls_ = std::move(query.controls);
    for (const auto& [key, row] : rows_) {
        if (const CameraControl* control = FindControl(controls_, key))
            Show(*control);
        else
            row->SetEnabled(false);
    }
}

void CCameraControlsDlg::Show(const CameraControl& control)
{
    const Row& row = *rows_.at(control.key);
    if (row.slider != nullptr) {
        const QSignalBlocker block(row.slider);
        row.slider->setValue(row.PositionOf(control.value));
        row.valueLabel->setText(ValueText(control, control.value));
        row.SetEnabled(!control.inactive);
    } else if (row.menu != nullptr) {
        const QSignalBlocker block(row.menu);
        row.menu->setCurrentIndex(row.menu->findData(control.value));
        row.SetEnabled(!control.inactive);
    } else if (IsAutomaticMode(control.key)) {
        const QSignalBlocker block(row.box);
        row.box->setChecked(AutomaticOn(control));
        // A camera that offers only one of the two cannot be switched.
        row.SetEnabled(!control.inactive && AutomaticValue(control, true) && AutomaticValue(control, false));
    } else {
        const QSignalBlocker block(row.box);
        row.box->setChecked(control.value != 0);
        row.SetEnabled(!control.inactive);
    }
}

void CCameraControlsDlg::Change(const std::string& key, int value)
{
    if (!showsControls())
        return;
    const CameraControlOutcome outcome = device_->Set(key, value);
    // Re-read every control: an automatic mode greys or frees others, and the camera may have
    // taken a value near the one asked for.
    Refresh();
    if (!showsControls())
        return;
    if (outcome == CameraControlOutcome::Done) {
        const CameraControl* now = FindControl(controls_, key);
        RememberControl(*camera_, key, now != nullptr ? now->value : value);
        message_->clear();
        message_->hide();
        return;
    }
    message_->setText(OutcomeText(outcome));
    message_->show();
}

void CCameraControlsDlg::RestoreDefaults()
{
    if (!showsControls())
        return;
    ForgetControls(*camera_);
    const CameraControlOutcome outcome = RestoreControlDefaults(*device_);
    Refresh();
    if (!showsControls())
        return;
    message_->setText(outcome == CameraControlOutcome::Done ? tr("已恢复摄像头的默认设置。")
                                                            : tr("已恢复默认设置，但有些项摄像头没有接受。"));
    message_->show();
}

void CCameraControlsDlg::ShowUnavailable(const QString& text)
{
    grid_->hide();
    message_->setText(text);
    message_->show();
    defaults_->setEnabled(false);
    adjustSize();
}

bool CCameraControlsDlg::showsControls() const
{
    return !grid_->isHidden();
}

QSlider* CCameraControlsDlg::slider(const std::string& key) const
{
    const auto it = rows_.find(key);
    return it == rows_.end() ? nullptr : it->second->slider;
}

QCheckBox* CCameraControlsDlg::checkBox(const std::string& key) const
{
    const auto it = rows_.find(key);
    return it == rows_.end() ? nullptr : it->second->box;
}

QComboBox* CCameraControlsDlg::menuBox(const std::string& key) const
{
    const auto it = rows_.find(key);
    return it == rows_.end() ? nullptr : it->second->menu;
}

QLabel* CCameraControlsDlg::valueLabel(const std::string& key) const
{
    const auto it = rows_.find(key);
    return it == rows_.end() ? nullptr : it->second->valueLabel;
}

int CCameraControlsDlg::SliderPosition(const std::string& key, int value) const
{
    const auto it = rows_.find(key);
    return it == rows_.end() ? -1 : it->second->PositionOf(value);
}

void OpenCameraControlsOver(QWidget* parent, const CameraInfo* camera)
{
    for (CCameraControlsDlg* open : parent->findChildren<CCameraControlsDlg*>(QString(), Qt::FindDirectChildrenOnly))
        if (open->isVisible()) { // a closed one may wait for its deletion
            open->raise();
            open->activateWindow();
            return;
        }
    auto* dialog = new CCameraControlsDlg(camera, {}, parent);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
}
