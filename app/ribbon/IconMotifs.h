#pragma once

#include "app/commands/CommandId.h"
#include "app/ribbon/IconCanvas.h"

#include <functional>

// The pictures that related commands share: a little landscape for display sizes and effects,
// the camera, the gold frame, the add-on sticker, folders, flow dots, the doodle brush and more.

namespace IconArt {

// A little landscape: sky, sun and two hills. Effects and sizes are shown on it.
struct SceneColours {
    QColor sky = IconInk::sky;
    QColor sun = IconInk::gold;
    QColor far = QColor(0x9B, 0xDE, 0xA4);
    QColor hill = IconInk::green;
    QColor edge = IconInk::outline;
};

void Scene(IconCanvas& c, const QRectF& r, const SceneColours& k = {});

// The landscape at full size.
inline const QRectF kSceneRect(3, 5, 26, 22);

void DashedRect(IconCanvas& c, const QRectF& r, const QColor& colour);
void CameraBody(IconCanvas& c, const QRectF& b, const QColor& lensFill = IconInk::glass);
void Camera(IconCanvas& c); // the camera body at its usual place
void GoldFrame(IconCanvas& c, const QRectF& r);
void BigFrame(IconCanvas& c); // the gold frame at its usual place
void Sticker(IconCanvas& c);

// A folder with something peeking out of it.
void Folder(IconCanvas& c, const std::function<void()>& content);
void FolderPhoto(IconCanvas& c);
void FolderFrame(IconCanvas& c);
void FolderAddOn(IconCanvas& c);
void FlowDots(IconCanvas& c, const QColor& dot);
void Squiggle(IconCanvas& c, const QColor& colour, double width);
void Brush(IconCanvas& c, const QColor& tip);
void WindowShape(IconCanvas& c, const QRectF& r);

// Four corner brackets, arrows pointing out or in.
void Corners(IconCanvas& c, bool outward);

// The mirror sign of the flips: a filled shape, a dashed axis and its ghost on the other side.
void Flip(IconCanvas& c, double rotation);

// A stopwatch showing a digit, or its hands for a negative digit.
void Stopwatch(IconCanvas& c, int digit);

// The lens of the logo: a coral disc with a white P.
void LogoLens(IconCanvas& c, QPointF centre, double r);
void PhotoStrip(IconCanvas& c);
void Face(IconCanvas& c);
void Book(IconCanvas& c);
void Globe(IconCanvas& c);

// A person's head and shoulders, standing in front of whatever was drawn before (the backdrops).
void Person(IconCanvas& c, QPointF headCentre, double scale = 1.0);
// A cloth of one colour with folds, hung behind the person of the cloth key.
void Cloth(IconCanvas& c, const QRectF& r, const QColor& colour);

// The landscape as the effect style of the command shows it.
void EffectScene(IconCanvas& c, CommandId id);

} // namespace IconArt
