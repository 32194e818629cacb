#pragma once

#include "app/ribbon/IconCanvas.h"

// Pictures about colour: the looks' swatches, the channel sliders, the colour models and the two
// colour buttons, which show the colour they send.

namespace IconArt {

// A swatch of a look: a little window in the look's own colours. The Office looks show their
// round application button, Windows 7 its four-pane flag, so blue and Windows 7 differ in shape too.
void LookSwatch(IconCanvas& c, unsigned look);
// The sliders: a sun for brightness, a half-dark disc for contrast, with the channel number.
void Brightness(IconCanvas& c, int channel);
void Contrast(IconCanvas& c, int channel);
// Three channel sliders.
void ChannelBars(IconCanvas& c);
// Three added lights.
void Rgb(IconCanvas& c);

// Hue around a ring (seen as an ellipse), value or lightness along the axis.
void ColourSolid(IconCanvas& c, bool doubleCone);

// Luma as a grey ramp beside the two colour differences.
void YCrCb(IconCanvas& c);
// The colour buttons, with a bar of the colour they send.
void FlowPalette(IconCanvas& c, const QColor& colour);
void PaintBucket(IconCanvas& c, const QColor& colour);

} // namespace IconArt
