#pragma once

#include "decorations/ContactRecord.h"
#include "decorations/TouchTargetRegistry.h"

#include <QWidget>

#include <unordered_map>
#include <vector>

class QMouseEvent;
class QTouchEvent;
class QWheelEvent;

// An invisible input layer over the whole pane. It receives every touch contact and every
// left-button mouse action, turns them into contact records, and routes each contact to the
// target that was under it when it began, until it ends. The mouse is ignored while a finger is
// down.
class TouchOverlay : public QWidget {
    Q_OBJECT
public:
    TouchOverlay(QWidget* parent, int width, int height);

    TouchTargetRegistry& targets() { return registry_; }
    unsigned touchesDown() const { return touchesDown_; }
    bool mouseButtonDown() const { return mouseDown_; }

    // The touch path: contacts in overlay coordinates, in the order they happened.
    void HandleTouchContacts(const std::vector<ContactRecord>& contacts);
    // The mouse path: a left-button press, a move or a left-button release at (x, y).
    void HandleMouse(MouseAction action, int x, int y, uint32_t timeMs);
    // The wheel turned with the pointer at (x, y): the target there has it. False when none
    // took it.
    bool HandleWheel(int x, int y, const WheelTurn& turn);

    // Turns a touch event into contact records with identifiers that are never 0 (0 is the
    // mouse's) and stay fixed while each finger is down.
    std::vector<ContactRecord> ContactsFromTouchEvent(const QTouchEvent& event);

protected:
    bool event(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void RouteMouse(MouseAction action, int x, int y, uint32_t timeMs);

    TouchTargetRegistry registry_;
    unsigned touchesDown_ = 0;
    bool mouseDown_ = false;
    struct LiveContact {
        uint32_t identifier;
        int32_t x;
        int32_t y;
    };
    std::unordered_map<int, LiveContact> contactIds_; // by Qt point id
    uint32_t nextContactId_ = 1;
};
