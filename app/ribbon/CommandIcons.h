#pragma once

#include "app/commands/CommandId.h"

#include <QColor>
#include <QIcon>
#include <QPixmap>

QIcon CommandIcon(CommandId id);
QIcon ColourButtonIcon(CommandId id, QColor current);
QPixmap PenWidthImage(int index);
QIcon AppIcon();
