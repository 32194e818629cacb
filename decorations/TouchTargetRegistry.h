#pragma once

#include "decorations/ContactRecord.h"

#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

// The mouse actions a touch target understands; the mouse is contact 0.
enum class MouseAction { Press, Move, Release };

// A turn of the mouse wheel or a swipe on a touchpad. angle: eighths of a degree (a usual notch
// is 120), positive away from the user (y) and to the left (x); pixels: a touchpad's own
// distances, in the same directions, zero when the device gives none.
struct WheelTurn {
    float angleX = 0.0f;
    float angleY = 0.0f;
    float pixelX = 0.0f;
    float pixelY = 0.0f;
};

// Anything that can be hit by a contact and then receives it until the contact ends.
class ITouchTarget {
public:
    virtual ~ITouchTarget() = default;
    virtual bool HitTest(float x, float y) = 0;
    virtual void OnContact(const ContactRecord& contact) = 0;
    // Turns a left-button mouse action at (x, y) into contact 0 and passes it to OnContact.
    virtual void OnMouse(MouseAction action, int x, int y, uint32_t timeMs);
    // The wheel turned over the target; false when it has no use for it.
    virtual bool OnWheel(const WheelTurn&) { return false; }
};

// Targets in hit-test order, and which target holds which contact. Targets are not owned.
class TouchTargetRegistry {
public:
    void Add(ITouchTarget* target);
    // Removes the target from the hit-test list; contacts it holds stay with it.
    void Remove(ITouchTarget* target);
    // Drops every contact the target holds (before the target goes away).
    void RemoveContactsOf(ITouchTarget* target);
    // Drops every target and every contact.
    void Clear();
    // Maps the contact to the first target hit at (x, y); false when none is hit.
    bool HitTest(uint32_t identifier, float x, float y);
    ITouchTarget* Find(uint32_t identifier) const;
    // The first target hit at (x, y), without mapping any contact; null when none is.
    ITouchTarget* TargetAt(float x, float y) const;
    void Erase(uint32_t identifier);

    const std::vector<ITouchTarget*>& targets() const { return targets_; }
    size_t contactCount() const { return contacts_.size(); }

private:
    std::vector<ITouchTarget*> targets_;
    std::unordered_map<uint32_t, ITouchTarget*> contacts_;
};
