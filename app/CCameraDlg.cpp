#include "app/CCameraDlg.h"

#include "app/CameraTexts.h"
#include "ui/DialogRunner.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace {
// The size a camera starts at when it does not offer the configured one: what most webcams
// deliver by default.
const cv::Size kUsualSize(640, 480);
} // namespace

CCameraDlg::CCameraDlg(std::vector<CameraInfo> cameras, const QString& current, cv::Size size, QWidget* parent)
    : QDialog(parent)
    , cameras_(std::move(cameras))
{
    setWindowTitle(tr("选择摄像头"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    cameraBox_ = new QComboBox(this);
    sizeBox_ = new QComboBox(this);
    form->addRow(tr("摄像头"), cameraBox_);
    form->addRow(tr("画面尺寸"), sizeBox_);
    layout->addLayout(form);
    note_ = new QLabel(this);
    note_->setWordWrap(true);
    layout->addWidget(note_);
    buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    layout->addWidget(buttons_);
    connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
    ShowCameras(current, size);
    // Another camera offers other sizes: keep the one chosen where the new camera has it.
    connect(cameraBox_, &QComboBox::currentIndexChanged, this, [this](int index) {
        ShowSizesOf(index, chosenSize().value_or(kUsualSize));
    });
}

void CCameraDlg::ShowCameras(const QString& current, cv::Size size)
{
    const QSignalBlocker quiet(cameraBox_);
    cameraBox_->clear();
    note_->setText(cameras_.empty() ? tr("未找到摄像设备\n内置摄像头是否禁用或USB摄像头未插入?")
                                    : tr("摄像头在下次开启时使用，画面尺寸在下次启动乐影屋时生效。"));
    int start = 0;
    for (std::size_t i = 0; i < cameras_.size(); ++i) {
        cameraBox_->addItem(QString::fromStdString(cameras_[i].name), QString::fromStdString(cameras_[i].id));
        if (QString::fromStdString(cameras_[i].id) == current)
            start = int(i);
    }
    buttons_->button(QDialogButtonBox::Ok)->setEnabled(!cameras_.empty());
    sizeBox_->clear();
    if (!cameras_.empty()) {
        cameraBox_->setCurrentIndex(start);
        ShowSizesOf(start, size);
    }
}

void CCameraDlg::SetCameras(std::vector<CameraInfo> cameras)
{
    const QString current = cameraBox_->currentData().toString();
    const cv::Size size = chosenSize().value_or(kUsualSize);
    cameras_ = std::move(cameras);
    ShowCameras(current, size);
}

void CCameraDlg::ShowSizesOf(int camera, cv::Size preferred)
{
    sizeBox_->clear();
    if (camera < 0 || camera >= int(cameras_.size()))
        return;
    const CameraInfo& info = cameras_[std::size_t(camera)];
    // With the camera's table each size says the rate it reaches, so 1080p at 5 a second is
    // seen for what it is; without one, the sizes alone.
    std::vector<ModeChoice> offers = SizeOffers(info.modes);
    if (offers.empty())
        for (const cv::Size& size : info.sizes)
            offers.push_back({ 0, false, size, 0 });
    int pick = -1;
    for (std::size_t i = 0; i < offers.size(); ++i) {
        sizeBox_->addItem(SizeOfferText(offers[i]), QSize(offers[i].size.width, offers[i].size.height));
        if (offers[i].size == preferred)
            pick = int(i);
    }
    if (pick < 0) {
        // The camera's own best size; without a table, the last size (smallest first) that is
        // not larger than the usual one.
        const std::optional<cv::Size> best = DefaultSize(info.modes);
        pick = 0;
        for (std::size_t i = 0; i < offers.size(); ++i)
            if (best ? offers[i].size == *best
                     : offers[i].size.width <= kUsualSize.width && offers[i].size.height <= kUsualSize.height)
                pick = int(i);
    }
    if (!offers.empty())
        sizeBox_->setCurrentIndex(pick);
}

const CameraInfo* CCameraDlg::chosenCamera() const
{
    const int index = cameraBox_->currentIndex();
    return index >= 0 && index < int(cameras_.size()) ? &cameras_[std::size_t(index)] : nullptr;
}

std::optional<cv::Size> CCameraDlg::chosenSize() const
{
    if (sizeBox_->currentIndex() < 0)
        return std::nullopt;
    const QSize size = sizeBox_->currentData().toSize();
    return cv::Size(size.width(), size.height());
}

std::optional<CameraAnswer> AskForCameraInDialog(std::vector<CameraInfo> present, const QString& remembered,
    cv::Size currentSize, QWidget* parent, const std::function<void(CCameraDlg&)>& prepare)
{
    CCameraDlg dialog(std::move(present), remembered, currentSize, parent);
    if (prepare)
        prepare(dialog);
    if (RunDialog(dialog) != QDialog::Accepted || dialog.chosenCamera() == nullptr)
        return std::nullopt;
    const CameraInfo* camera = dialog.chosenCamera();
    return CameraAnswer { camera->id, camera->name, dialog.chosenSize() };
}
