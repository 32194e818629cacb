#pragma once

#include "app/commands/CommandId.h"

#include <QColor>
#include <QIcon>
#include <QImage>
#include <QPixmap>

#include <array>

// The program draws its own button pictures, so they need no files or icon theme and stay sharp
// at every size: each size is painted afresh with line widths of its own.

// The sizes every command icon holds.
inline constexpr std::array kCommandIconSizes{16, 24, 32, 48};

// A command's picture at one size. An id without a picture of its own gets a plain neutral mark.
QImage CommandIconImage(CommandId id, int pixels);
// The command's icon with a pixmap per size of kCommandIconSizes.
QIcon CommandIcon(CommandId id);

// A choice in a drop-down (a look, a display size, a strip's kind, a GIF's length): the plain
// picture, and with a check mark over it in the icon's On state, which menus show for the
// checked item.
QImage CheckedChoiceImage(CommandId id, int pixels);
QIcon ChoiceIcon(CommandId id);

// The two colour buttons (ID_BUTTON_FLOW_COLOR, ID_BUTTON_PAINT_COLOR) show the colour they send.
// Any other id gives its plain icon. CommandIcon shows them at their starting red.
QImage ColourButtonImage(CommandId id, const QColor& current, int pixels);
QIcon ColourButtonIcon(CommandId id, const QColor& current);

// The pen gallery's 32 × 32 pictures, one per pen width (index 0..7 → 1, 3, 5, 8, 10, 13, 16,
// 20 pixels). An index out of range gives a null pixmap.
inline constexpr int kPenImageCount = 8;
QPixmap PenWidthImage(int index);

// The program's own icon (window, about box), 16 to 256 pixels.
inline constexpr std::array kAppIconSizes{16, 24, 32, 48, 64, 128, 256};
QImage AppIconImage(int pixels);
QIcon AppIcon();
