#include "decorations/TouchOverlay.h"

#include <QMouseEvent>
#include <QTouchEvent>
#include <QWheelEvent>

#include <cmath>

TouchOverlay::TouchOverlay(QWidget* parent, int width, int height) : QWidget(parent)
{
    setObjectName(QStringLiteral("Overlay"));
    setGeometry(0, 0, width, height);
    setAttribute(Qt::WA_AcceptTouchEvents);
    // It only takes input; the strips beneath stay what the user sees.
    setAttribute(Qt::WA_NoSystemBackground);
    setAttribute(Qt::WA_TranslucentBackground);
    setAutoFillBackground(false);
    raise();
}

std::vector<ContactRecord> TouchOverlay::ContactsFromTouchEvent(const QTouchEvent& event)
{
    std::vector<ContactRecord> contacts;
    const bool cancelled = event.type() == QEvent::TouchCancel;
    if (cancelled) {
        // The system took the touches away: end every contact so the counts stay balanced.
        // Each contact ends where it was last seen.
        for (const auto& [pointId, live] : contactIds_) {
            ContactRecord c;
            c.identifier = live.identifier;
            c.flags = ContactUp;
            c.source = 1;
            c.time = static_cast<uint32_t>(event.timestamp());
            c.x = live.x;
            c.y = live.y;
            contacts.push_back(c);
        }
        contactIds_.clear();
        return contacts;
    }
    for (const QEventPoint& point : event.points()) {
        ContactRecord c;
        c.source = 1;
        c.time = static_cast<uint32_t>(event.timestamp());
        const QPointF at = mapFromGlobal(point.globalPosition());
        c.x = static_cast<int32_t>(std::trunc(at.x()));
        c.y = static_cast<int32_t>(std::trunc(at.y()));
        switch (point.state()) {
        case QEventPoint::Pressed: {
            if (nextContactId_ == 0)
                nextContactId_ = 1;
            c.identifier = nextContactId_++;
            contactIds_[point.id()] = {c.identifier, c.x, c.y};
            c.flags = ContactDown;
            break;
        }
        case QEventPoint::Released: {
            auto it = contactIds_.find(point.id());
            if (it == contactIds_.end())
                continue;
            c.identifier = it->second.identifier;
            c.flags = ContactUp;
            contactIds_.erase(it);
            break;
        }
        default: {
            auto it = contactIds_.find(point.id());
            if (it == contactIds_.end())
                continue;
            c.identifier = it->second.identifier;
            it->second.x = c.x;
            it->second.y = c.y;
            c.flags = ContactMove;
            break;
        }
        }
        contacts.push_back(c);
    }
    return contacts;
}

void TouchOverlay::HandleTouchContacts(const std::vector<ContactRecord>& contacts)
{
    for (const ContactRecord& contact : contacts) {
        if (contact.flags & ContactDown)
            ++touchesDown_;
        else if ((contact.flags & ContactUp) && touchesDown_ > 0)
            --touchesDown_;
        if (contact.flags & ContactDown)
            registry_.HitTest(contact.identifier, static_cast<float>(contact.x),
                              static_cast<float>(contact.y));
        if (ITouchTarget* target = registry_.Find(contact.identifier))
            target->OnContact(contact);
        // Identifiers are never reused here, so an ended contact can be forgotten at once.
        if (contact.flags & ContactUp)
            registry_.Erase(contact.identifier);
    }
}

bool TouchOverlay::event(QEvent* e)
{
    switch (e->type()) {
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TouchCancel:
        HandleTouchContacts(ContactsFromTouchEvent(*static_cast<QTouchEvent*>(e)));
        e->accept();
        return true;
    default:
        return QWidget::event(e);
    }
}

void TouchOverlay::HandleMouse(MouseAction action, int x, int y, uint32_t timeMs)
{
    if (action == MouseAction::Press)
        mouseDown_ = true;
    else if (action == MouseAction::Release)
        mouseDown_ = false;
    RouteMouse(action, x, y, timeMs);
}

void TouchOverlay::RouteMouse(MouseAction action, int x, int y, uint32_t timeMs)
{
    if (touchesDown_ > 0) {
        registry_.Erase(0);
        return;
    }
    if (action == MouseAction::Press)
        registry_.HitTest(0, static_cast<float>(x), static_cast<float>(y));
    ITouchTarget* target = registry_.Find(0);
    if (!target)
        return;
    if (!mouseDown_)
        registry_.Erase(0);
    target->OnMouse(action, x, y, timeMs);
}

bool TouchOverlay::HandleWheel(int x, int y, const WheelTurn& turn)
{
    // A finger on a strip already moves it; the wheel would fight it.
    if (touchesDown_ > 0)
        return false;
    ITouchTarget* target = registry_.TargetAt(static_cast<float>(x), static_cast<float>(y));
    return target && target->OnWheel(turn);
}

void TouchOverlay::wheelEvent(QWheelEvent* event)
{
    const QPoint p = event->position().toPoint();
    WheelTurn turn;
    turn.angleX = static_cast<float>(event->angleDelta().x());
    turn.angleY = static_cast<float>(event->angleDelta().y());
    turn.pixelX = static_cast<float>(event->pixelDelta().x());
    turn.pixelY = static_cast<float>(event->pixelDelta().y());
    if (HandleWheel(p.x(), p.y(), turn))
        event->accept();
    else
        event->ignore();
}

namespace {

// Mouse events that Qt or the system made up from touches would drive the targets twice.
bool RealMouse(const QMouseEvent* event)
{
    return event->source() == Qt::MouseEventNotSynthesized;
}

} // namespace

void TouchOverlay::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !RealMouse(event))
        return;
    const QPoint p = event->position().toPoint();
    HandleMouse(MouseAction::Press, p.x(), p.y(), static_cast<uint32_t>(event->timestamp()));
}

void TouchOverlay::mouseMoveEvent(QMouseEvent* event)
{
    if (!RealMouse(event))
        return;
    const QPoint p = event->position().toPoint();
    HandleMouse(MouseAction::Move, p.x(), p.y(), static_cast<uint32_t>(event->timestamp()));
}

void TouchOverlay::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !RealMouse(event))
        return;
    const QPoint p = event->position().toPoint();
    HandleMouse(MouseAction::Release, p.x(), p.y(), static_cast<uint32_t>(event->timestamp()));
}
