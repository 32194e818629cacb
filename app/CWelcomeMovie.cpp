#include "app/CWelcomeMovie.h"

#include <QLinearGradient>
#include <QPainter>
#include <QResizeEvent>
#include <QTimer>

#include <algorithm>

namespace {

QPixmap BlankPixmap(QSize size, qreal ratio)
{
    QPixmap pixmap(size * ratio);
    pixmap.setDevicePixelRatio(ratio);
    return pixmap;
}

} // namespace

CWelcomeMovie::CWelcomeMovie(QWidget* parent)
    : QWidget(parent)
    , text_(Greeting())
{
    setObjectName(QStringLiteral("CWelcomeMovie"));
    // The cached background covers every pixel.
    setAttribute(Qt::WA_OpaquePaintEvent);
    timer_ = new QTimer(this);
    timer_->setInterval(kFrameMs);
    connect(timer_, &QTimer::timeout, this, qOverload<>(&QWidget::update));
}

void CWelcomeMovie::Play()
{
    if (!playing_) {
        playing_ = true;
        clock_.start();
    }
    if (isVisible() && !size().isEmpty())
        timer_->start();
}

bool CWelcomeMovie::timerActive() const
{
    return timer_->isActive();
}

QSize CWelcomeMovie::textSize() const
{
    EnsureCache();
    return greeting_.isNull() ? QSize() : greeting_.deviceIndependentSize().toSize();
}

int CWelcomeMovie::TextLeft(qint64 elapsedMs) const
{
    const int cycle = width() + std::max(textSize().width(), 1);
    const auto travelled = static_cast<qint64>(static_cast<double>(elapsedMs) * kPixelsPerSecond / 1000.0);
    return width() - static_cast<int>(travelled % cycle);
}

void CWelcomeMovie::EnsureCache() const
{
    const QSize area = size();
    const qreal ratio = devicePixelRatioF(); // another screen needs other pixels
    if (area == cachedSize_ && ratio == cachedRatio_)
        return;
    cachedSize_ = area;
    cachedRatio_ = ratio;
    if (area.isEmpty()) {
        background_ = QPixmap();
        greeting_ = QPixmap();
        return;
    }

    background_ = BlankPixmap(area, ratio);
    {
        QPainter p(&background_);
        QLinearGradient across(0, 0, area.width(), 0);
        across.setColorAt(0.0, QColor(0xFF, 0xE3, 0xEE)); // blossom
        across.setColorAt(0.5, QColor(0xE4, 0xF0, 0xFF)); // sky
        across.setColorAt(1.0, QColor(0xE6, 0xFB, 0xEA)); // mint
        p.fillRect(QRect(QPoint(), area), across);
        QLinearGradient sheen(0, 0, 0, area.height());
        sheen.setColorAt(0.0, QColor(255, 255, 255, 150));
        sheen.setColorAt(0.55, QColor(255, 255, 255, 0));
        sheen.setColorAt(1.0, QColor(120, 100, 170, 40));
        p.fillRect(QRect(QPoint(), area), sheen);
    }

    QFont font = this->font();
    font.setPixelSize(std::clamp(area.height() * 9 / 20, 9, 26));
    const QFontMetrics metrics(font);
    const QSize textArea(metrics.horizontalAdvance(text_) + 2, metrics.height() + 1);
    greeting_ = BlankPixmap(textArea, ratio);
    greeting_.fill(Qt::transparent);
    {
        QPainter p(&greeting_);
        p.setRenderHint(QPainter::TextAntialiasing);
        p.setFont(font);
        p.setPen(QColor(255, 255, 255, 220)); // a soft light edge under the letters
        p.drawText(QPoint(1, metrics.ascent() + 1), text_);
        p.setPen(QColor(0x6A, 0x4C, 0x93));
        p.drawText(QPoint(0, metrics.ascent()), text_);
    }
}

void CWelcomeMovie::Paint(QPainter& painter, qint64 elapsedMs)
{
    EnsureCache();
    if (background_.isNull())
        return;
    painter.drawPixmap(0, 0, background_);
    const int top = (height() - textSize().height()) / 2;
    painter.drawPixmap(TextLeft(elapsedMs), top, greeting_);
}

void CWelcomeMovie::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    Paint(painter, playing_ ? clock_.elapsed() : 0);
}

void CWelcomeMovie::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (playing_) {
        if (event->size().isEmpty())
            timer_->stop();
        else if (isVisible())
            timer_->start();
    }
}

void CWelcomeMovie::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() != QEvent::LanguageChange)
        return;
    text_ = Greeting();
    cachedSize_ = QSize(); // the greeting's picture is drawn anew
    update();
}

QString CWelcomeMovie::Greeting()
{
    return tr("(*^__^*) 嘻嘻…… 欢迎来到 Parvel 乐影屋~   希望玩的愉快！");
}

void CWelcomeMovie::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (playing_ && !size().isEmpty())
        timer_->start();
}

void CWelcomeMovie::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    timer_->stop(); // nothing to animate that nobody sees
}
