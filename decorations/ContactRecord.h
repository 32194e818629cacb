#pragma once

#include <cstdint>

// Flags of a contact record; one contact event carries exactly one of them.
enum ContactFlag : uint32_t {
    ContactMove = 1,
    ContactDown = 2, // a new contact
    ContactUp = 4,   // the contact ended
};

// One touch or mouse contact event in the form every touch target receives. Positions are in the
// receiver's coordinates: overlay (pane) pixels at the strip, strip pixels at a thumbnail.
struct ContactRecord {
    int32_t x = 0;
    int32_t y = 0;
    uint32_t source = 0;     // input device; 0 for the mouse
    uint32_t identifier = 0; // unique while the contact lasts; the mouse is 0
    uint32_t flags = 0;      // ContactFlag
    uint32_t mask = 0;       // 0 for the mouse
    uint32_t time = 0;       // milliseconds
    uint32_t extraInfo = 0;  // passed along, never read
    uint32_t contactWidth = 0;
    uint32_t contactHeight = 0;
};
