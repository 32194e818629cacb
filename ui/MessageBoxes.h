#pragma once

#include <QString>

#include <vector>

class QWidget;

enum class MessageIcon { None, Information, Question, Exclamation };
enum class MessageButtons { Ok, OkCancel };
enum class MessageChoice { Ok, Cancel };

// Every message box of the program goes through this service, so that tests can replace it and
// never block on a modal box.
class MessageBoxes {
public:
    static QString DefaultCaption(); // "乐影屋", in English the program's English name
    static QString TitleCaption();   // the framework's "ParvelWebcam", likewise

    virtual ~MessageBoxes() = default;
    // Shows the box and returns the user's choice (Ok for a box with only OK).
    virtual MessageChoice Show(QWidget* parent, const QString& text, const QString& caption,
                               MessageIcon icon, MessageButtons buttons) = 0;

    void Plain(QWidget* parent, const QString& text, const QString& caption);
    void Information(QWidget* parent, const QString& text, const QString& caption = DefaultCaption());
    void Question(QWidget* parent, const QString& text, const QString& caption = DefaultCaption());
    void Exclamation(QWidget* parent, const QString& text, const QString& caption = DefaultCaption());
    MessageChoice OkCancelQuestion(QWidget* parent, const QString& text,
                                   const QString& caption = DefaultCaption());
    MessageChoice OkCancelInformation(QWidget* parent, const QString& text,
                                      const QString& caption = DefaultCaption());
};

// Modal QMessageBox boxes.
class QtMessageBoxes final : public MessageBoxes {
public:
    MessageChoice Show(QWidget* parent, const QString& text, const QString& caption,
                       MessageIcon icon, MessageButtons buttons) override;
};

// Records every box instead of showing it and answers with a preset choice.
class RecordingMessageBoxes final : public MessageBoxes {
public:
    struct Shown {
        QWidget* parent;
        QString text;
        QString caption;
        MessageIcon icon;
        MessageButtons buttons;
    };
    MessageChoice Show(QWidget* parent, const QString& text, const QString& caption,
                       MessageIcon icon, MessageButtons buttons) override;

    std::vector<Shown> shown;
    MessageChoice answer = MessageChoice::Ok;
    std::vector<MessageChoice> answers; // for the next boxes with a choice, in turn; then answer
};

// The service in force for the whole process (the QMessageBox one unless replaced).
MessageBoxes& Messages();
// Replaces the service; nullptr restores the default. The caller keeps ownership.
void SetMessageBoxes(MessageBoxes* service);

// Installs a service for the lifetime of a scope (a test) and restores the previous one.
class ScopedMessageBoxes {
public:
    explicit ScopedMessageBoxes(MessageBoxes& service);
    ~ScopedMessageBoxes();
    ScopedMessageBoxes(const ScopedMessageBoxes&) = delete;
    ScopedMessageBoxes& operator=(const ScopedMessageBoxes&) = delete;

private:
    MessageBoxes* previous_;
};
