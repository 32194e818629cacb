#include "pipeline/compose/Overlays.h"

#include "decorations/AddOnCollection.h"
#include "pipeline/compose/FrameOverlay.h"

#include <QPainter>

void DrawOverlays(QImage& picture, const OverlayLayers& layers)
{
    if (picture.isNull())
        return;
    QPainter painter(&picture);
    const int w = picture.width();
    const int h = picture.height();
    if (layers.logo != nullptr && !layers.logo->isNull())
        painter.drawImage(w - layers.logo->width(), h - layers.logo->height(), *layers.logo);
    if (layers.frame != nullptr)
        layers.frame->Draw(painter, picture.size());
    if (layers.addOns != nullptr)
        layers.addOns->Draw(painter, layers.addOnsLeftOut);
}
