#include "StatusItemPlacement.h"

#include <algorithm>

namespace {
// The position along one axis that keeps [position, position + length) within [first, first +
// room): unchanged when it already is, the start of the room when it cannot be.
int keptWithin(int position, int length, int first, int room)
{
    return std::max(first, std::min(position, first + room - length));
}

qint64 overlap(const QRect &a, const QRect &b)
{
    const QRect common = a.intersected(b);
    return common.isEmpty() ? 0 : qint64(common.width()) * common.height();
}
} // namespace

QPoint StatusItemPlacement::firstPadPlace(const QSize &padSize, const QRect &primaryArea)
{
    return {primaryArea.x() + primaryArea.width() - padSize.width(), primaryArea.y()};
}

QPoint StatusItemPlacement::padPlace(
    const QPoint &place, const QSize &padSize, const QList<QRect> &areas, const QRect &primaryArea)
{
    const QRect pad(place, padSize);
    const auto best = std::max_element(areas.cbegin(), areas.cend(),
        [&pad](const QRect &a, const QRect &b) { return overlap(pad, a) < overlap(pad, b); });
    if (best == areas.cend() || overlap(pad, *best) == 0)
        return firstPadPlace(padSize, primaryArea);
    return {keptWithin(place.x(), padSize.width(), best->x(), best->width()),
        keptWithin(place.y(), padSize.height(), best->y(), best->height())};
}

QRect StatusItemPlacement::quickZipWindowFrame(const QRect &pad, const QSize &windowSize, const QRect &area)
{
    const int x = pad.x() + (pad.width() - windowSize.width()) / 2;
    const int below = pad.y() + pad.height();
    const int above = pad.y() - windowSize.height();
    const int areaBottom = area.y() + area.height();
    int y = below;
    if (below + windowSize.height() > areaBottom)
        y = above >= area.y() ? above : keptWithin(below, windowSize.height(), area.y(), area.height());
    return {QPoint(keptWithin(x, windowSize.width(), area.x(), area.width()), y), windowSize};
}
