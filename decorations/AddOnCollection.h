#pragma once

#include "decorations/DecorationKind.h"
#include "decorations/ImageEx.h"

#include <QImage>
#include <QSize>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class QPainter;

// Hit rectangle of an add-on: left and top inclusive, right and bottom exclusive.
struct AddOnBounds {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;

    bool Contains(int px, int py) const { return px >= left && px < right && py >= top && py < bottom; }
};

// What became of a file asked to be placed as an add-on.
enum class AddOnOutcome {
    Added,
    UnknownKind, // nothing is added
    Unreadable,  // placed as a record of size 0 × 0, which draws nothing and is never hit
    TooLarge,    // its pictures would take more memory than allowed: nothing is added
};

// One placed add-on. Exactly one of animation (animated GIF) and still (PNG) is used.
struct AddOnRecord {
    // Copies of one animated file share one animation (and its thread).
    std::shared_ptr<ImageEx> animation;
    QImage still; // premultiplied, ready to paint
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;  // natural size at load time; 0 when the file did not load
    int32_t height = 0;
    bool hovered = false;
    bool moving = false;
    // Where the add-on is drawn and hit. Its size is the natural one unless the add-on follows a
    // face, which scales it.
    AddOnBounds bounds;
    std::uint64_t serial = 0; // names the record for its whole life; given by the collection

    // Loads the image of the given kind (an animated one starts playing). A file that does not
    // load still gives a record, of size 0 × 0, which draws nothing and is never hit.
    static AddOnRecord Load(const QString& path, DecorationKind kind);
    // The same, no larger than area (an add-on is never shown larger than the picture), with the
    // outcome; playing shares that animation when it is of the same file and size. A file
    // refused as too large gives an empty record.
    struct Loaded;
    static Loaded Load(const QString& path, DecorationKind kind, QSize area,
                       std::shared_ptr<ImageEx> playing = nullptr);
    void Draw(QPainter& painter) const;
};

struct AddOnRecord::Loaded {
    AddOnRecord record;
    AddOnOutcome outcome = AddOnOutcome::Unreadable;
};

// The small decorations placed on the picture, with their hover and drag state. Not thread-safe:
// whoever draws it on another thread must share a lock with whoever changes it.
class AddOnCollection {
public:
    // Source of the placement draws. One generator serves every placement, so add-ons placed in
    // quick succession land on different spots.
    using Generator = std::function<std::uint32_t()>;

    // Without a generator, one seeded once from the current time is used.
    explicit AddOnCollection(Generator generator = {});
    ~AddOnCollection();
    AddOnCollection(const AddOnCollection&) = delete;
    AddOnCollection& operator=(const AddOnCollection&) = delete;

    // Loads and places one add-on no larger than the area.
    AddOnOutcome AddAddOn(const QString& path, int kind);
    // The animation already playing for this file at this size, for a copy to share; null when
    // none is placed.
    std::shared_ptr<ImageEx> PlayingAnimation(const QString& path, QSize area) const;
    // Places an already loaded record at random inside the area (x = draw mod (free width − 1), then
    // y likewise) and appends it to its list. Returns the serial it gave the record.
    std::uint64_t Insert(AddOnRecord record, DecorationKind kind);

    // Removes every add-on, stopping the animations.
    void ClearAddOns();
    // Takes the record with this serial out of its list and hands it back for Release (none when
    // there is no such record); the hover and the drag let go of it.
    std::vector<AddOnRecord> Take(std::uint64_t serial);
    // The add-on under the pointer, else the one last grabbed while it is still placed; 0: none.
    std::uint64_t removable() const;
    // Empties both lists and hands the records back, so that the caller can stop and release
    // them after letting go of a lock that a drawing thread waits on.
    std::vector<AddOnRecord> TakeAll();
    // Pauses and stops the animations of records taken out, each once its last copy goes.
    static void Release(std::vector<AddOnRecord> records);

    // Inverts the shown flag and pauses or resumes every animation to match.
    void ToggleAddOnsShown();
    bool shown() const { return shown_; }

    // Pointer handling in add-on mode, (px, py) in picture pixels. PointerMove returns whether
    // the hand cursor should show. The add-on under the pointer is the one drawn on top there. A
    // dragged add-on follows the pointer with its centre, which stays inside the area.
    bool PointerMove(int px, int py);
    void PointerDown();
    // Returns the serial of the add-on a drag has just moved, 0 when none was moved.
    std::uint64_t PointerUp();

    // The record with this serial, null when there is none.
    const AddOnRecord* Find(std::uint64_t serial) const;
    // Moves and sizes the record with this serial to bounds, unless it is being dragged (the
    // pointer has it). Returns whether it was moved.
    bool PlaceAt(std::uint64_t serial, const AddOnBounds& bounds);

    // Animated add-ons in list order, then still ones, each at its natural size, but for those
    // whose serials are in leaveOut (drawn elsewhere already). Draws whether or not the add-ons
    // are shown; the compositor checks shown().
    void Draw(QPainter& painter, const std::vector<std::uint64_t>& leaveOut = {}) const;

    int32_t areaWidth = 0;
    int32_t areaHeight = 0;

    int32_t animatedCount() const { return static_cast<int32_t>(animated_.size()); }
    int32_t stillCount() const { return static_cast<int32_t>(still_.size()); }
    const std::vector<AddOnRecord>& animated() const { return animated_; }
    const std::vector<AddOnRecord>& still() const { return still_; }
    bool dragging() const { return dragging_; }
    int32_t hoveredIndex() const { return hoveredIndex_; }

private:
    // The record at a combined index (animated first, then still); null when out of range.
    AddOnRecord* RecordAt(int32_t index);

    Generator generator_;
    std::uint64_t lastSerial_ = 0;
    std::vector<AddOnRecord> animated_;
    std::vector<AddOnRecord> still_;
    bool shown_ = true;
    bool dragging_ = false;
    int32_t hoveredIndex_ = -1;
    std::uint64_t lastGrabbed_ = 0;
};
