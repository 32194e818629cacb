#include "app/ribbon/CommandIcons.h"

#include "app/ribbon/ColourIcons.h"
#include "app/ribbon/FunIcons.h"
#include "app/ribbon/IconBadges.h"
#include "app/ribbon/IconCanvas.h"
#include "app/ribbon/IconMotifs.h"

#include <QPen>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <numbers>

// Every picture is drawn on a 32 × 32 grid. Related commands share a motif and its colours
// (a coral camera for taking pictures, a sky-blue landscape for display sizes and effects, a gold
// frame for the big frame, a pink heart for add-ons, a folder for the folders), and a round badge
// in the lower right corner says what the command does to it.

namespace {

using namespace IconArt;
using namespace IconInk;

constexpr double kPi = std::numbers::pi;

void Neutral(IconCanvas& c)
{
    c.fill(RoundRect(QRectF(5, 5, 22, 22), 4), ring);
    c.fill(Circle(QPointF(16, 16), 4), grey, c.outline() * 0.8);
}

void Draw(IconCanvas& c, CommandId id)
{
    switch (id) {
    // Camera and picture.
    case ID_BUTTON_CAM_MANGER:
        Camera(c);
        PowerBadge(c);
        return;
    case ID_BUTTON_CAMERA_CHOICE:
        Camera(c);
        SwitchBadge(c);
        return;
    case ID_BUTTON_CAMERA_SETTINGS:
        Camera(c);
        GearBadge(c);
        return;
    case ID_BUTTON_IMAGE_SIZE:
        c.fill(RoundRect(QRectF(2.5, 3, 27, 25), 2), white);
        c.fill(RoundRect(QRectF(2.5, 10, 19, 18), 2), skyMid, c.outline() * 0.8);
        Scene(c, QRectF(2.5, 17, 11, 11));
        return;
    case ID_BUTTON_SIZE1:
        Scene(c, kSceneRect);
        return;
    case ID_BUTTON_SIZE2:
        DashedRect(c, kSceneRect, blue);
        Scene(c, QRectF(kSceneRect.topLeft(), kSceneRect.size() * 0.75));
        return;
    case ID_BUTTON_SIZE3:
        DashedRect(c, kSceneRect, blue);
        Scene(c, QRectF(kSceneRect.topLeft(), kSceneRect.size() * 0.5));
        return;
    case ID_BUTTON_SIZE_FIT: {
        c.fill(RoundRect(QRectF(2, 3, 28, 26), 2), white);
        Scene(c, QRectF(8.5, 9.5, 15, 13));
        const double w = c.small() ? 2.2 : 1.8;
        for (const double s : {-1.0, 1.0}) {
            const QPointF tip(16 + s * 12.5, 16), from(16 + s * 9.5, 16);
            c.line(from, tip, blue, w);
            c.line(tip, tip + QPointF(-s * 2.5, -2.5), blue, w);
            c.line(tip, tip + QPointF(-s * 2.5, 2.5), blue, w);
        }
        return;
    }
    case ID_BUTTON_LOOGO: {
        const QPainterPath pill = RoundRect(QRectF(1.5, 8, 29, 16), 8);
        c.fill(pill, white);
        LogoLens(c, QPointF(9.5, 16), 6.2);
        const double w = c.small() ? 2.2 : 1.6;
        c.line(QPointF(18.5, 13), QPointF(26, 13), outline, w);
        c.line(QPointF(18.5, 19), QPointF(24, 19), outline, w);
        return;
    }
    case ID_VIEW_FULL_SCREEN:
        Scene(c, QRectF(9, 10, 14, 12));
        Corners(c, true);
        return;
    case ID_ESCAPE: {
        // The escape sign: an open circle with an arrow leaving to the upper left.
        QPainterPath arc;
        arc.arcMoveTo(QRectF(5, 5, 23, 23), 120);
        arc.arcTo(QRectF(5, 5, 23, 23), 120, 300);
        c.strokeOutlined(arc, blue, c.small() ? 2.6 : 2.4);
        QPainterPath arrow(QPointF(17, 17));
        arrow.lineTo(4.5, 4.5);
        c.strokeOutlined(arrow, blue, c.small() ? 2.6 : 2.4);
        QPainterPath head(QPointF(4.5, 12));
        head.lineTo(4.5, 4.5);
        head.lineTo(12, 4.5);
        c.strokeOutlined(head, blue, c.small() ? 2.6 : 2.4);
        return;
    }

    // Photos and recording.
    case ID_BUTTON_PHOTO_CLICK:
        Camera(c);
        PointerShape(c, QPointF(19, 15.5), c.small() ? 15.5 : 13.5);
        return;
    case ID_BUTTON_PHOTO_DELAY:
        Camera(c);
        ClockBadge(c);
        return;
    case ID_BUTTON_TIME_SET:
        Stopwatch(c, -1);
        GearBadge(c);
        return;
    case ID_PHOTO_NOW:
        CameraBody(c, QRectF(5.5, 12, 24, 16));
        c.fill(SparklePath(QPointF(7, 7), 6.5, 0.16), gold, c.outline() * 0.85);
        return;
    case ID_BURST_STRIP:
        PhotoStrip(c);
        return;
    case ID_SOUND: {
        // A loudspeaker with two waves leaving it.
        c.fill(Polygon({ QPointF(3, 12), QPointF(9, 12), QPointF(17, 5), QPointF(17, 27), QPointF(9, 20), QPointF(3, 20) }),
            coral);
        const double w = c.small() ? 2.6 : 2.2;
        for (const double r : { 5.5, 10.5 }) {
            QPainterPath wave;
            wave.arcMoveTo(QRectF(17 - r, 16 - r, 2 * r, 2 * r), -45);
            wave.arcTo(QRectF(17 - r, 16 - r, 2 * r, 2 * r), -45, 90);
            c.strokeOutlined(wave, blue, w);
        }
        return;
    }
    case ID_RECORD_VIDEO:
        c.fill(Polygon({QPointF(21, 16), QPointF(30, 10), QPointF(30, 25), QPointF(21, 19)}), coralDark);
        c.fill(RoundRect(QRectF(2, 9, 20, 17), 3), coral);
        c.fill(Circle(QPointF(8, 15), 3.3), red, c.outline() * 0.85);
        if (!c.small())
            c.flat(Circle(QPointF(7, 14), 1), white);
        return;
    case ID_RECORD_GIF:
        Scene(c, QRectF(9, 2.5, 20, 16));
        Scene(c, QRectF(5.5, 6.5, 20, 16));
        Scene(c, QRectF(2, 10.5, 20, 16));
        RecordBadge(c);
        return;
    case ID_GIF_SECONDS_2:
        Stopwatch(c, 2);
        return;
    case ID_GIF_SECONDS_3:
        Stopwatch(c, 3);
        return;
    case ID_GIF_SECONDS_5:
        Stopwatch(c, 5);
        return;
    case ID_PHOTO_OPEN:
        Scene(c, kSceneRect);
        OpenBadge(c);
        return;
    case ID_PHOTO_OPEN_FOLDER:
        FolderPhoto(c);
        EyeBadge(c); // shows where the file is
        return;
    case ID_PHOTO_COPY:
        Scene(c, QRectF(2, 2.5, 20, 16));
        c.fill(RoundRect(QRectF(12, 12, 17, 17), 1.5), sky);
        return;
    case ID_PHOTO_DELETE:
        Scene(c, kSceneRect);
        CrossBadge(c);
        return;
    case ID_PHOTO_VIEW:
        Scene(c, kSceneRect);
        EyeBadge(c);
        return;
    // The viewer: arrows through the row, pause, close.
    case ID_VIEWER_PREVIOUS:
    case ID_VIEWER_NEXT: {
        const double s = id == ID_VIEWER_NEXT ? 1.0 : -1.0;
        const double w = c.small() ? 3.0 : 2.8;
        c.line(QPointF(16 - s * 10, 16), QPointF(16 + s * 10, 16), blue, w);
        QPainterPath head(QPointF(16 + s * 2, 7));
        head.lineTo(16 + s * 11, 16);
        head.lineTo(16 + s * 2, 25);
        c.strokeOutlined(head, blue, w);
        return;
    }
    case ID_VIEWER_PLAY:
        c.fill(Polygon({ QPointF(3, 7), QPointF(15, 16), QPointF(3, 25) }), green);
        c.fill(RoundRect(QRectF(18, 7, 4.5, 18), 1), blue);
        c.fill(RoundRect(QRectF(25, 7, 4.5, 18), 1), blue);
        return;
    case ID_VIEWER_CLOSE:
        WindowShape(c, QRectF(3, 4, 26, 24));
        Scene(c, QRectF(7, 12, 14, 12));
        CrossBadge(c);
        return;
    case ID_VIEW_SIDE_PANE: {
        // The window with its strip of thumbnails down the right side.
        WindowShape(c, QRectF(2.5, 4, 27, 24));
        Scene(c, QRectF(5.5, 12, 13, 12));
        const QRectF pane(20.5, 9, 7, 19);
        c.flat(Rect(pane), night);
        for (int i = 0; i < 3; ++i)
            c.flat(Rect(QRectF(21.7, 10.5 + i * 6, 4.6, 4)), i == 1 ? gold : skyMid);
        return;
    }
    case ID_FACE_STICKERS:
        Face(c);
        return;

    // Backdrops: a person before a landscape, a cloth or the blurred room.
    case ID_BACKDROP_REPLACE:
        Scene(c, kSceneRect, { QColor(0x8F, 0xD3, 0xF5), gold, QColor(0xF3, 0xDC, 0x9A), QColor(0x4F, 0xB8, 0xD8) });
        Person(c, QPointF(16, 15.5));
        SwitchBadge(c);
        return;
    case ID_BACKDROP_LEARN:
        // The empty room, looked at.
        Scene(c, kSceneRect);
        c.fill(RoundRect(QRectF(7, 12, 7, 10), 1), orange);
        EyeBadge(c);
        return;
    case ID_BACKDROP_CLOTH:
        Cloth(c, QRectF(3, 4, 13, 24), green);
        Cloth(c, QRectF(16, 4, 13, 24), blue);
        Person(c, QPointF(16, 15.5));
        return;
    case ID_BACKDROP_CLOTH_GREEN:
        Cloth(c, QRectF(3, 4, 26, 24), green);
        Person(c, QPointF(16, 15.5));
        return;
    case ID_BACKDROP_CLOTH_BLUE:
        Cloth(c, QRectF(3, 4, 26, 24), blue);
        Person(c, QPointF(16, 15.5));
        return;
    case ID_BACKDROP_CLOTH_PICK:
        Cloth(c, QRectF(3, 4, 26, 24), green);
        Person(c, QPointF(12, 15.5), 0.8);
        PointerShape(c, QPointF(20, 11), c.small() ? 12 : 11);
        return;
    case ID_BACKDROP_BLUR: {
        // The room washed out behind a sharp person.
        SceneColours soft;
        soft.sky = white;
        soft.sun = goldLight;
        soft.far = QColor(0xCF, 0xEE, 0xD3);
        soft.hill = QColor(0xA9, 0xDE, 0xB0);
        soft.edge = grey;
        Scene(c, kSceneRect, soft);
        Person(c, QPointF(16, 15.5));
        return;
    }
    case ID_BACKDROP_GALLERY:
        Scene(c, QRectF(9, 2.5, 20, 16), { night, gold, QColor(0x4A, 0x52, 0x8A), violet });
        Scene(c, QRectF(2, 10.5, 20, 16), { QColor(0x8F, 0xD3, 0xF5), gold, QColor(0xF3, 0xDC, 0x9A), QColor(0x4F, 0xB8, 0xD8) });
        Person(c, QPointF(12, 17), 0.65);
        return;
    case ID_BACKDROP_FOLDER:
        Folder(c, [&c] { Person(c, QPointF(16, 11), 0.6); });
        GearBadge(c);
        return;
    case ID_BACKDROP_OPEN_FOLDER:
        Folder(c, [&c] { Person(c, QPointF(16, 11), 0.6); });
        return;
    case ID_FACE_BOXES:
        Face(c);
        EyeBadge(c);
        return;

    // Colour channels and models.
    case ID_SLIDER_B0:
        Brightness(c, 1);
        return;
    case ID_SLIDER_B1:
        Brightness(c, 2);
        return;
    case ID_SLIDER_B2:
        Brightness(c, 3);
        return;
    case ID_SLIDER_C0:
        Contrast(c, 1);
        return;
    case ID_SLIDER_C1:
        Contrast(c, 2);
        return;
    case ID_SLIDER_C2:
        Contrast(c, 3);
        return;
    case ID_BUTTON_DEFUALT_COLOR:
        ChannelBars(c);
        UndoBadge(c);
        return;
    case ID_CHECK_RGB:
        Rgb(c);
        return;
    case ID_CHECK_HSV:
        ColourSolid(c, false);
        return;
    case ID_CHECK_HLS:
        ColourSolid(c, true);
        return;
    case ID_CHECK_YCRCB:
        YCrCb(c);
        return;

    // Effect styles: each shows its look on the little landscape.
    case ID_BUTTON_BLACKWHITE:
    case ID_BUTTON_INVERT:
    case ID_BUTTON_ERODE:
    case ID_BUTTON_SKETCH:
    case ID_BUTTON_GRAIN:
    case ID_BUTTON_SMOOTH_SKETCH:
        EffectScene(c, id);
        return;

    // Fun effects: the landscape through the effect.
    case ID_FUN_NONE:
    case ID_FUN_BULGE:
    case ID_FUN_PINCH:
    case ID_FUN_TWIRL:
    case ID_FUN_STRETCH:
    case ID_FUN_SQUEEZE:
    case ID_FUN_FISH_EYE:
    case ID_FUN_MIRROR:
    case ID_FUN_KALEIDOSCOPE:
    case ID_FUN_LIGHT_TUNNEL:
    case ID_FUN_BIG_HEAD:
    case ID_FUN_THIN_FACE:
    case ID_FUN_THERMAL:
    case ID_FUN_X_RAY:
    case ID_FUN_COMIC:
    case ID_FUN_POP:
    case ID_FUN_MOSAIC:
    case ID_FUN_OLD_FILM:
        FunEffectPicture(c, static_cast<FunEffect>(id - ID_FUN_NONE));
        return;
    case ID_FUN_GALLERY:
        FunEffectPicture(c, kFunKaleidoscope);
        c.fill(SparklePath(QPointF(24, 23), 7, 0.16), gold, c.outline() * 0.85);
        return;
    case ID_FUN_PREVIEW:
        FunPreviewPicture(c);
        return;
    case ID_FUN_PAGE_BACK:
        FunPreviewPicture(c, -1);
        return;
    case ID_FUN_PAGE_NEXT:
        FunPreviewPicture(c, 1);
        return;

    // Region.
    case ID_BUTTON_ROI: {
        Scene(c, kSceneRect);
        DashedRect(c, QRectF(6, 8, 12, 10), white);
        const QPointF lens(19, 17);
        c.line(lens + QPointF(4.5, 4.5), QPointF(28.5, 28.5), outline, c.small() ? 3.6 : 3.2);
        c.fill(Circle(lens, c.small() ? 6.5 : 6), QColor(255, 255, 255, 200));
        c.line(lens + QPointF(-3, 0), lens + QPointF(3, 0), outline, GlyphWidth(c) * 0.8);
        c.line(lens + QPointF(0, -3), lens + QPointF(0, 3), outline, GlyphWidth(c) * 0.8);
        return;
    }
    case ID_BUTTON_CANCEL_ROI:
        Scene(c, kSceneRect);
        DashedRect(c, QRectF(6, 8, 12, 10), white);
        UndoBadge(c);
        return;
    case ID_BUTTON_EFFECT_ROI: {
        Scene(c, kSceneRect);
        const QRectF area(6, 8, 14, 12);
        c.flat(Rect(area), QColor(0x60, 0x60, 0x70, 170));
        DashedRect(c, area, white);
        c.fill(SparklePath(QPointF(23, 21), 7.5, 0.16), gold, c.outline() * 0.85);
        return;
    }
    case ID_BUTTON_DEFUALT_EFFECT: {
        const QRectF area(3, 5, 20, 18);
        DashedRect(c, area, blue);
        c.fill(SparklePath(QPointF(13, 14), 8, 0.16), gold, c.outline() * 0.85);
        UndoBadge(c);
        return;
    }

    // Flips.
    case ID_BUTTON_H_FLIP:
        Flip(c, 0);
        return;
    case ID_BUTTON_V_FLIP:
        Flip(c, 90);
        return;
    case ID_BUTTON_HV_FLIP: {
        // Both axes: the shape goes to the opposite corner.
        QPen axis(blue, c.thin(), Qt::CustomDashLine, Qt::FlatCap);
        axis.setDashPattern({1.6, 1.4});
        c.painter().setPen(axis);
        c.painter().drawLine(QPointF(16, 2), QPointF(16, 30));
        c.painter().drawLine(QPointF(2, 16), QPointF(30, 16));
        c.painter().setPen(Qt::NoPen);
        c.fill(Polygon({QPointF(3, 3), QPointF(13, 3), QPointF(3, 13)}), coral);
        c.fill(Polygon({QPointF(29, 29), QPointF(19, 29), QPointF(29, 19)}), white);
        const double w = c.small() ? 2.4 : 2.0;
        QPainterPath turn(QPointF(15.5, 6.5));
        turn.quadTo(QPointF(26.5, 5), QPointF(25.5, 15.5));
        c.strokeOutlined(turn, blue, w);
        QPainterPath head(QPointF(21.5, 12));
        head.lineTo(25.5, 16);
        head.lineTo(29, 11.5);
        c.strokeOutlined(head, blue, w);
        return;
    }

    // Optical flow.
    case ID_BUTTON_LIGHTFLOW_AUTO:
        FlowDots(c, red);
        PlayBadge(c);
        return;
    case ID_BUTTON_LIGHTFLOW_MANUAL:
        FlowDots(c, red);
        PointerShape(c, QPointF(17, 15), c.small() ? 15 : 13.5);
        return;
    case ID_BUTTON_LIGHTFLOW_NIGHT: {
        c.fill(RoundRect(QRectF(2.5, 2.5, 27, 27), 4), night);
        QPainterPath moon;
        moon.addEllipse(QPointF(21, 10), 6, 6);
        QPainterPath bite;
        bite.addEllipse(QPointF(24, 7.5), 5, 5);
        c.flat(moon.subtracted(bite), gold);
        for (const QPointF& d : {QPointF(9, 19), QPointF(16, 24), QPointF(22, 20)}) {
            c.flat(Circle(d, 3.6), QColor(0xFF, 0x60, 0x70, 90));
            c.flat(Circle(d, 2.2), QColor(0xFF, 0x70, 0x80));
        }
        if (!c.small())
            c.flat(SparklePath(QPointF(9, 9), 3, 0.16), white);
        return;
    }
    case ID_BUTTON_ESC_LIGHTFLOW:
        FlowDots(c, red);
        CrossBadge(c);
        return;
    case ID_BUTTON_FLOW_COLOR:
        FlowPalette(c, QColor(255, 0, 0));
        return;

    // Doodle.
    case ID_BUTTON_MOUSE_PAINT:
        Squiggle(c, coral, c.small() ? 2.4 : 2.2);
        Brush(c, coral);
        return;
    case ID_BUTTON_PAINT_COLOR:
        PaintBucket(c, QColor(255, 0, 0));
        return;
    case ID_BUTTON_PAINT_SET:
        Squiggle(c, coral, c.small() ? 2.4 : 2.2);
        Brush(c, coral);
        GearBadge(c);
        return;
    case ID_BUTTON_PAINT_HIDE:
        Squiggle(c, coral, c.small() ? 2.4 : 2.2);
        EyeBadge(c, true);
        return;
    case ID_BUTTON_PAINT_CLEAR:
        Squiggle(c, coral, c.small() ? 2.4 : 2.2);
        c.painter().save();
        c.painter().translate(21, 19);
        c.painter().rotate(-35);
        c.fill(RoundRect(QRectF(-8, -4.5, 16, 9), 2), pink);
        c.fill(RoundRect(QRectF(2, -4.5, 6, 9), 2), ring);
        c.painter().restore();
        return;
    case ID_PAINT_UNDO:
        Squiggle(c, coral, c.small() ? 2.4 : 2.2);
        UndoBadge(c);
        return;
    case ID_BUTTON_PEN_WIDETH: {
        const std::array<double, 3> widths{1.4, 3.0, 5.2};
        for (int i = 0; i < 3; ++i) {
            const double y = 7 + i * 8.5;
            QPainterPath wave(QPointF(5, y + 1.5));
            wave.cubicTo(QPointF(12, y - 3), QPointF(19, y + 4), QPointF(27, y - 1));
            c.stroke(wave, coralDark, std::max(widths[i], c.small() ? 1.5 : 1.0));
        }
        return;
    }

    // The big frame.
    case ID_BUTTON_FRAME_SHOWIF:
        BigFrame(c);
        EyeBadge(c);
        return;
    case ID_BUTTON_FRAME_TYPE:
        BigFrame(c);
        SwitchBadge(c);
        return;
    case ID_BUTTON_FRAME_GIF:
        BigFrame(c);
        PlayBadge(c);
        return;
    case ID_BUTTON_FRAME_PNG:
        BigFrame(c);
        CheckerBadge(c);
        return;

    // Add-ons.
    case ID_BUTTON_ADDON_SHOWIF:
        Sticker(c);
        EyeBadge(c);
        return;
    case ID_BUTTON_ADD_ON_TYPE:
        Sticker(c);
        SwitchBadge(c);
        return;
    case ID_BUTTON_ADD_ON_GIF:
        Sticker(c);
        PlayBadge(c);
        return;
    case ID_BUTTON_ADD_ON_PNG:
        Sticker(c);
        CheckerBadge(c);
        return;
    case ID_BUTTON_CLEAR_ADDON:
        Sticker(c);
        CrossBadge(c);
        return;
    // The side pane's picks: the thing itself, put in place.
    case ID_PICK_FRAME:
        BigFrame(c);
        OpenBadge(c);
        return;
    case ID_PICK_ADD_ON:
        Sticker(c);
        OpenBadge(c);
        return;
    case ID_REMOVE_ADD_ON:
        Sticker(c);
        PointerShape(c, QPointF(17, 17), c.small() ? 11 : 10);
        CrossBadge(c);
        return;
    case ID_REMOVE_FRAME:
        BigFrame(c);
        CrossBadge(c);
        return;
    case ID_OPEN_DOCUMENT:
        WindowShape(c, QRectF(3, 4, 26, 24));
        CameraBody(c, QRectF(8, 15, 16, 10));
        OpenBadge(c);
        return;
    case ID_BUTTON_DRAG_ADD_ON: {
        Sticker(c);
        const QPointF centre(23, 23);
        const double w = c.small() ? 2.2 : 1.8, r = c.small() ? 7.5 : 6.5;
        for (int i = 0; i < 4; ++i) {
            const double a = i * kPi / 2;
            const QPointF d(std::cos(a), std::sin(a)), n(-d.y(), d.x());
            QPainterPath arm(centre);
            arm.lineTo(centre + d * r);
            c.strokeOutlined(arm, blue, w);
            QPainterPath head(centre + d * (r - 2.5) + n * 2.5);
            head.lineTo(centre + d * r);
            head.lineTo(centre + d * (r - 2.5) - n * 2.5);
            c.strokeOutlined(head, blue, w);
        }
        return;
    }

    // Folders.
    case ID_BUTTON_OPEN_PHOTO_DIR:
        FolderPhoto(c);
        OpenBadge(c);
        return;
    case ID_BUTTON_PHOTO_DIR:
        FolderPhoto(c);
        GearBadge(c);
        return;
    case ID_BUTTON_OPEN_FRAME:
        FolderFrame(c);
        OpenBadge(c);
        return;
    case ID_BUTTON_FRAME_DIR:
        FolderFrame(c);
        GearBadge(c);
        return;
    case ID_BUTTON_OPEN_ADD_ON_DIR:
        FolderAddOn(c);
        OpenBadge(c);
        return;
    case ID_BUTTON_ADD_ON_DIR:
        FolderAddOn(c);
        GearBadge(c);
        return;

    // Help.
    case ID_BUTTON_ABOUT:
        CameraBody(c, QRectF(2.5, 8, 24, 16), coral);
        InfoBadge(c);
        return;
    case ID_APP_ABOUT: {
        c.fill(Circle(QPointF(16, 16), 13), blue);
        c.flat(Circle(QPointF(16, 9.5), c.small() ? 2.4 : 2.1), white);
        c.line(QPointF(16, 14.5), QPointF(16, 23.5), white, c.small() ? 3.6 : 3.2);
        return;
    }
    case ID_BUTTON_DOC:
        Book(c);
        return;
    case ID_SYSLINK_MY_WEB:
        Globe(c);
        LinkBadge(c);
        return;
    // A speech bubble in the colours of the language: red with a gold star, blue with lines of text.
    case ID_LANGUAGE_CHINESE:
        c.fill(RoundRect(QRectF(3, 4, 26, 19), 5) + Polygon({ QPointF(9, 21), QPointF(8, 29), QPointF(16, 21) }), red);
        c.flat(StarPath(QPointF(16, 13.5), c.small() ? 7 : 6.5, c.small() ? 3 : 2.6, 5, -90), gold);
        return;
    case ID_LANGUAGE_ENGLISH:
        c.fill(RoundRect(QRectF(3, 4, 26, 19), 5) + Polygon({ QPointF(9, 21), QPointF(8, 29), QPointF(16, 21) }), blue);
        c.line(QPointF(9, 10.5), QPointF(23, 10.5), white, c.small() ? 2.4 : 2.2);
        c.line(QPointF(9, 16.5), QPointF(19, 16.5), white, c.small() ? 2.4 : 2.2);
        return;

    // Window, bars and looks.
    case ID_VIEW_STATUS_BAR:
        WindowShape(c, QRectF(2.5, 4, 27, 24));
        c.fill(Rect(QRectF(2.5, 21.5, 27, 6.5)),
               gold, c.outline() * 0.8);
        return;
    case ID_VIEW_CAPTION_BAR:
        WindowShape(c, QRectF(2.5, 4, 27, 24));
        c.fill(Rect(QRectF(2.5, 9, 27, 6.5)),
               goldLight, c.outline() * 0.8);
        c.flat(Circle(QPointF(7, 12.25), 2), blue);
        return;
    case ID_VIEW_RIBBON_FOLD: {
        // The window with its tab row, and a chevron that folds the band below it away.
        WindowShape(c, QRectF(2.5, 4, 27, 24));
        c.fill(Rect(QRectF(2.5, 9, 27, 4)), goldLight, c.outline() * 0.8);
        const double w = c.small() ? 2.6 : 2.2;
        c.line(QPointF(10, 23), QPointF(16, 17), blue, w);
        c.line(QPointF(16, 17), QPointF(22, 23), blue, w);
        return;
    }
    case ID_CAPTION_BAR_OPTIONS:
        WindowShape(c, QRectF(2.5, 4, 27, 24));
        c.fill(Rect(QRectF(2.5, 9, 27, 6.5)),
               goldLight, c.outline() * 0.8);
        GearBadge(c);
        return;
    case ID_VIEW_APPLOOK_OFF_2007_BLUE:
    case ID_VIEW_APPLOOK_OFF_2007_BLACK:
    case ID_VIEW_APPLOOK_OFF_2007_SILVER:
    case ID_VIEW_APPLOOK_OFF_2007_AQUA:
    case ID_VIEW_APPLOOK_WINDOWS_7:
        LookSwatch(c, static_cast<unsigned>(id));
        return;
    case ID_APP_EXIT: {
        c.fill(RoundRect(QRectF(4, 3, 15, 26), 1.5), coralDark);
        c.fill(Polygon({QPointF(4, 3), QPointF(13, 6), QPointF(13, 31), QPointF(4, 29)}), coral, c.outline() * 0.9);
        c.flat(Circle(QPointF(11, 17), 1.3), gold);
        const double w = c.small() ? 2.6 : 2.4;
        QPainterPath arrow(QPointF(15, 16));
        arrow.lineTo(29, 16);
        c.strokeOutlined(arrow, green, w);
        QPainterPath head(QPointF(25, 11.5));
        head.lineTo(29.5, 16);
        head.lineTo(25, 20.5);
        c.strokeOutlined(head, green, w);
        return;
    }

    // Edit.
    case ID_EDIT_COPY:
        c.fill(RoundRect(QRectF(4, 3, 15, 19), 1.5), white);
        c.fill(RoundRect(QRectF(12, 10, 15, 19), 1.5), sky);
        return;
    case ID_EDIT_CUT: {
        const double w = c.small() ? 2.4 : 2.0;
        c.line(QPointF(10, 3), QPointF(20, 20), grey, w + 1);
        c.line(QPointF(22, 3), QPointF(12, 20), grey, w + 1);
        c.stroke(Circle(QPointF(9.5, 24), 4), coral, w + 0.6);
        c.stroke(Circle(QPointF(22.5, 24), 4), coral, w + 0.6);
        return;
    }
    case ID_EDIT_PASTE:
        c.fill(RoundRect(QRectF(4, 5, 19, 24), 2), orange);
        c.fill(RoundRect(QRectF(9, 3, 9, 5), 1.2), grey);
        c.fill(RoundRect(QRectF(14, 12, 14, 18), 1.5), white);
        return;
    }
    Neutral(c);
}

QIcon IconOf(const std::function<QImage(int)>& image)
{
    QIcon icon;
    for (const int size : kCommandIconSizes)
        icon.addPixmap(QPixmap::fromImage(image(size)));
    return icon;
}

} // namespace

QImage CommandIconImage(CommandId id, int pixels)
{
    IconCanvas canvas(pixels);
    Draw(canvas, id);
    return canvas.take();
}

QIcon CommandIcon(CommandId id)
{
    return IconOf([id](int size) { return CommandIconImage(id, size); });
}

QImage CheckedChoiceImage(CommandId id, int pixels)
{
    QImage image = CommandIconImage(id, pixels);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    const double s = pixels;
    QPainterPath check(QPointF(0.10 * s, 0.60 * s));
    check.lineTo(0.32 * s, 0.84 * s);
    check.lineTo(0.74 * s, 0.30 * s);
    // A light rim keeps the mark readable over any picture and on the dark looks' menus.
    p.strokePath(check, QPen(QColor(255, 255, 255, 235), std::max(3.0, 0.26 * s), Qt::SolidLine, Qt::RoundCap,
                            Qt::RoundJoin));
    p.strokePath(check, QPen(QColor(0x1E, 0x8C, 0x3A), std::max(1.8, 0.14 * s), Qt::SolidLine, Qt::RoundCap,
                            Qt::RoundJoin));
    p.end();
    return image;
}

QIcon ChoiceIcon(CommandId id)
{
    QIcon icon = CommandIcon(id);
    for (const int size : kCommandIconSizes)
        icon.addPixmap(QPixmap::fromImage(CheckedChoiceImage(id, size)), QIcon::Normal, QIcon::On);
    return icon;
}

QImage ColourButtonImage(CommandId id, const QColor& current, int pixels)
{
    IconCanvas canvas(pixels);
    if (id == ID_BUTTON_FLOW_COLOR)
        FlowPalette(canvas, current);
    else if (id == ID_BUTTON_PAINT_COLOR)
        PaintBucket(canvas, current);
    else
        Draw(canvas, id);
    return canvas.take();
}

QIcon ColourButtonIcon(CommandId id, const QColor& current)
{
    return IconOf([id, current](int size) { return ColourButtonImage(id, current, size); });
}

QPixmap PenWidthImage(int index)
{
    static constexpr std::array<int, kPenImageCount> kWidths{1, 3, 5, 8, 10, 13, 16, 20};
    if (index < 0 || index >= kPenImageCount)
        return {};
    const double w = kWidths[static_cast<std::size_t>(index)];
    QImage image(32, 32, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    // A curve whose ends stay inside the image with their round caps, so each width shows whole.
    const double inset = w / 2 + 2;
    QPainterPath stroke(QPointF(inset, 32 - inset));
    stroke.cubicTo(QPointF(16 - w * 0.2, 32 - inset), QPointF(16 + w * 0.2, inset), QPointF(32 - inset, inset));
    // A light rim keeps the ink visible on the dark looks' menus.
    p.strokePath(stroke, QPen(QColor(255, 255, 255, 200), w + 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.strokePath(stroke, QPen(IconInk::outline, w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.end();
    return QPixmap::fromImage(image);
}

QImage AppIconImage(int pixels)
{
    IconCanvas c(pixels);
    // The welcome camera in small: coral body, gold shutter, the logo's lens with its P.
    const QRectF b(2, 9, 28, 20);
    c.fill(RoundRect(QRectF(20, 5, 6.5, 6), 1.5), gold);
    c.fill(RoundRect(QRectF(6, 4.5, 9.5, 8), 2), coral);
    const QPainterPath body = RoundRect(b, 5);
    c.flat(body, coral);
    c.painter().save();
    c.painter().setClipPath(body);
    c.painter().fillRect(QRectF(b.left(), b.top(), b.width(), 4.5), coralLight);
    if (!c.small())
        c.painter().fillRect(QRectF(b.left(), b.bottom() - 3, b.width(), 3), coralDark);
    c.painter().restore();
    c.fill(body, Qt::transparent);
    if (!c.small())
        c.fill(RoundRect(QRectF(4.5, 11.5, 5, 3.2), 1), goldLight, c.outline() * 0.7);
    const QPointF lens(16, 19.5);
    c.fill(Circle(lens, 9), ring);
    c.flat(Circle(lens, 7.2), outline);
    if (c.small()) {
        // A P of two pixels would be a smudge: the plain lens reads better.
        c.flat(Circle(lens, 6.2), coral);
        c.flat(Circle(lens + QPointF(-2, -2), 2), white);
    } else {
        LogoLens(c, lens, 6.2);
    }
    return c.take();
}

QIcon AppIcon()
{
    QIcon icon;
    for (const int size : kAppIconSizes)
        icon.addPixmap(QPixmap::fromImage(AppIconImage(size)));
    return icon;
}
