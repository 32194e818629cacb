#pragma once

#include "app/ribbon/IconCanvas.h"

// Round signs in an icon's lower right corner that say what a command does to its motif, the
// same sign for the same act everywhere.

namespace IconArt {

// Line width of the signs drawn on a badge.
double GlyphWidth(const IconCanvas& c);

void PlayBadge(IconCanvas& c);   // start, animated
void CrossBadge(IconCanvas& c);  // stop, remove
void UndoBadge(IconCanvas& c);   // back to the original
void PowerBadge(IconCanvas& c);  // switch on or off
void InfoBadge(IconCanvas& c);   // about
void SwitchBadge(IconCanvas& c); // switch between two kinds
void OpenBadge(IconCanvas& c);   // open
void EyeBadge(IconCanvas& c, bool crossed = false); // show; crossed: hide
void GearBadge(IconCanvas& c);    // settings
void CheckerBadge(IconCanvas& c); // transparent image
void RecordBadge(IconCanvas& c);  // record
void ClockBadge(IconCanvas& c);   // later
void LinkBadge(IconCanvas& c);    // a web link

// The mouse arrow, its tip at the point.
void PointerShape(IconCanvas& c, QPointF tip, double size);

} // namespace IconArt
