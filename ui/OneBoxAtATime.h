#pragma once

#include "ui/MessageBoxes.h"

#include <QPointer>
#include <QWidget>

#include <deque>

// Boxes one after another, in the order they arise. A box that only says something (OK alone),
// asked for while another box is open, waits until that box is answered and returns OK at once:
// its caller runs inside the open box's event loop and must not stack a second modal box on it.
// A box that asks (OK and Cancel) cannot wait for an answer it needs now, and opens at once.
class OneBoxAtATime final : public MessageBoxes {
public:
    explicit OneBoxAtATime(MessageBoxes& boxes)
        : boxes_(boxes)
    {
    }
    MessageChoice Show(QWidget* parent, const QString& text, const QString& caption, MessageIcon icon,
        MessageButtons buttons) override;

    int open() const { return open_; }
    std::size_t waiting() const { return waiting_.size(); }

private:
    struct Waiting {
        QPointer<QWidget> parent;
        QString text, caption;
        MessageIcon icon;
    };
    MessageChoice ShowNow(QWidget* parent, const QString& text, const QString& caption, MessageIcon icon,
        MessageButtons buttons);

    MessageBoxes& boxes_;
    int open_ = 0;
    std::deque<Waiting> waiting_;
};
