#include "app/CameraTexts.h"

#include <QCoreApplication>

QString RateText(double rate)
{
    return QString::number(rate, 'g', 4);
}

QString SizeOfferText(const ModeChoice& offer)
{
    QString text = QStringLiteral("%1 × %2").arg(offer.size.width).arg(offer.size.height);
    if (offer.rate > 0)
        text += QCoreApplication::translate("CameraTexts", " · %1 帧/秒").arg(RateText(offer.rate));
    if (offer.compressed)
        text += QCoreApplication::translate("CameraTexts", " · 压缩");
    return text;
}

QString CameraAgreedText(QSize size, double rate, QSize asked)
{
    QString text = rate > 0
        ? QCoreApplication::translate("CameraTexts", "摄像头：%1 × %2，%3 帧/秒").arg(size.width()).arg(size.height()).arg(RateText(rate))
        : QCoreApplication::translate("CameraTexts", "摄像头：%1 × %2").arg(size.width()).arg(size.height());
    if (!asked.isEmpty() && asked != size)
        text += QCoreApplication::translate("CameraTexts", "（要求的是 %1 × %2，摄像头给不了：画面按摄像头给的尺寸显示，今后也用这个尺寸）")
                    .arg(asked.width())
                    .arg(asked.height());
    return text;
}
