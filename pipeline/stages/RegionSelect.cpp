#include "pipeline/stages/RegionSelect.h"

#include "pipeline/stages/Flip.h"

#include <algorithm>
#include <utility>

cv::Point ClientToPicture(cv::Point client, float scaleX, float scaleY)
{
    return { static_cast<int>(scaleX * static_cast<float>(client.x) + 0.5f),
        static_cast<int>(scaleY * static_cast<float>(client.y) + 0.5f) };
}

bool SelectionMayStartAt(cv::Point client, cv::Size display)
{
    return client.x >= 0 && client.y >= 0 && client.x < display.width && client.y < display.height;
}

cv::Rect UnflipRect(const cv::Rect& pictureRect, cv::Size picture, int flipMode)
{
    const bool mirrored = flipMode == kFlipMirror || flipMode == kFlipMirrorUpsideDown;
    const bool upsideDown = flipMode == kFlipMirrorUpsideDown || flipMode == kFlipUpsideDown;
    cv::Rect r = pictureRect;
    if (mirrored)
        r.x = picture.width - pictureRect.x - pictureRect.width;
    if (upsideDown)
        r.y = picture.height - pictureRect.y - pictureRect.height;
    return r;
}

std::optional<PictureRegion> RegionFromSelection(cv::Point pressClient, cv::Point releaseClient,
    float scaleX, float scaleY, cv::Size picture, int flipMode)
{
    int left = std::min(pressClient.x, releaseClient.x);
    int right = std::max(pressClient.x, releaseClient.x);
    int top = std::min(pressClient.y, releaseClient.y);
    int bottom = std::max(pressClient.y, releaseClient.y);

    // Client to picture pixels; each float product truncated toward zero. The far edges are
    // measured from the near ones.
    const int top2 = static_cast<int>(static_cast<float>(top) * scaleY);
    const int left2 = static_cast<int>(static_cast<float>(left) * scaleX);
    const int bottom2 = static_cast<int>(static_cast<float>(bottom - top) * scaleY + static_cast<float>(top2));
    const int right2 = static_cast<int>(static_cast<float>(right - left) * scaleX + static_cast<float>(left2));
    left = std::min(left2, right2);
    right = std::max(left2, right2);
    top = std::min(top2, bottom2);
    bottom = std::max(top2, bottom2);

    // A drag may run past any edge of the picture: keep the part that lies on it.
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, picture.width);
    bottom = std::min(bottom, picture.height);
    if (right <= left || bottom <= top)
        return std::nullopt;

    PictureRegion region;
    region.effectRect = cv::Rect(left, top, right - left, bottom - top);
    region.zoomRect = UnflipRect(region.effectRect, picture, flipMode);
    return region;
}
