#include "ui/MessageBoxes.h"

#include "ui/AppInfo.h"
#include "ui/OneBoxAtATime.h"

#include <QCoreApplication>
#include <QMessageBox>

#include <atomic>

namespace {

std::atomic<MessageBoxes*> installed{nullptr};

QMessageBox::Icon ToQt(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Information: return QMessageBox::Information;
    case MessageIcon::Question: return QMessageBox::Question;
    case MessageIcon::Exclamation: return QMessageBox::Warning;
    case MessageIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

} // namespace

QString MessageBoxes::DefaultCaption()
{
    // The text is AppInfo::kCaption's, written out for the translation tools.
    return QCoreApplication::translate("MessageBoxes", "乐影屋");
}

QString MessageBoxes::TitleCaption()
{
    return QCoreApplication::translate("MessageBoxes", "ParvelWebcam"); // AppInfo::kTitle
}

void MessageBoxes::Plain(QWidget* parent, const QString& text, const QString& caption)
{
    Show(parent, text, caption, MessageIcon::None, MessageButtons::Ok);
}

void MessageBoxes::Information(QWidget* parent, const QString& text, const QString& caption)
{
    Show(parent, text, caption, MessageIcon::Information, MessageButtons::Ok);
}

void MessageBoxes::Question(QWidget* parent, const QString& text, const QString& caption)
{
    Show(parent, text, caption, MessageIcon::Question, MessageButtons::Ok);
}

void MessageBoxes::Exclamation(QWidget* parent, const QString& text, const QString& caption)
{
    Show(parent, text, caption, MessageIcon::Exclamation, MessageButtons::Ok);
}

MessageChoice MessageBoxes::OkCancelQuestion(QWidget* parent, const QString& text,
                                             const QString& caption)
{
    return Show(parent, text, caption, MessageIcon::Question, MessageButtons::OkCancel);
}

MessageChoice MessageBoxes::OkCancelInformation(QWidget* parent, const QString& text,
                                                const QString& caption)
{
    return Show(parent, text, caption, MessageIcon::Information, MessageButtons::OkCancel);
}

MessageChoice QtMessageBoxes::Show(QWidget* parent, const QString& text, const QString& caption,
                                   MessageIcon icon, MessageButtons buttons)
{
    QMessageBox box(ToQt(icon), caption, text,
                    buttons == MessageButtons::OkCancel ? QMessageBox::Ok | QMessageBox::Cancel
                                                        : QMessageBox::Ok,
                    parent);
    box.setDefaultButton(QMessageBox::Ok);
    return box.exec() == QMessageBox::Ok ? MessageChoice::Ok : MessageChoice::Cancel;
}

MessageChoice RecordingMessageBoxes::Show(QWidget* parent, const QString& text,
                                          const QString& caption, MessageIcon icon,
                                          MessageButtons buttons)
{
    shown.push_back({parent, text, caption, icon, buttons});
    if (buttons == MessageButtons::Ok)
        return MessageChoice::Ok;
    if (!answers.empty()) {
        const MessageChoice next = answers.front();
        answers.erase(answers.begin());
        return next;
    }
    return answer;
}

MessageBoxes& Messages()
{
    if (MessageBoxes* service = installed.load())
        return *service;
    static QtMessageBoxes standard;
    static OneBoxAtATime oneAtATime(standard);
    return oneAtATime;
}

void SetMessageBoxes(MessageBoxes* service)
{
    installed.store(service);
}

ScopedMessageBoxes::ScopedMessageBoxes(MessageBoxes& service) : previous_(installed.load())
{
    SetMessageBoxes(&service);
}

ScopedMessageBoxes::~ScopedMessageBoxes()
{
    SetMessageBoxes(previous_);
}
