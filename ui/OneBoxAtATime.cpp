#include "ui/OneBoxAtATime.h"

MessageChoice OneBoxAtATime::Show(QWidget* parent, const QString& text, const QString& caption, MessageIcon icon,
    MessageButtons buttons)
{
    if (open_ > 0 && buttons == MessageButtons::Ok) {
        waiting_.push_back({ parent, text, caption, icon });
        return MessageChoice::Ok;
    }
    const MessageChoice choice = ShowNow(parent, text, caption, icon, buttons);
    // The outermost box answered: those that arose meanwhile follow, each after the one before.
    while (open_ == 0 && !waiting_.empty()) {
        Waiting next = std::move(waiting_.front());
        waiting_.pop_front();
        // A window that went meanwhile leaves its box without a parent, never unsaid.
        ShowNow(next.parent.data(), next.text, next.caption, next.icon, MessageButtons::Ok);
    }
    return choice;
}

MessageChoice OneBoxAtATime::ShowNow(QWidget* parent, const QString& text, const QString& caption, MessageIcon icon,
    MessageButtons buttons)
{
    ++open_;
    const MessageChoice choice = boxes_.Show(parent, text, caption, icon, buttons);
    --open_;
    return choice;
}
