#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>

// Where the drop pad and the quick-zip window go on the screens: plain geometry in logical
// pixels, over the screens' available areas (the desktop less its panels).
namespace StatusItemPlacement {

/// The pad's first place: the top-right corner of the primary screen's available area.
QPoint firstPadPlace(const QSize &padSize, const QRect &primaryArea);

/// Where a pad put at `place` is shown: moved wholly onto the screen that holds most of it, or
/// at its first place when no screen holds any of it (a monitor unplugged since).
QPoint padPlace(const QPoint &place, const QSize &padSize, const QList<QRect> &areas, const QRect &primaryArea);

/// The quick-zip window's frame: centred under the pad, or above it where there is no room
/// below, and shifted sideways to stay on the pad's screen (its left edge first when it is wider
/// than the screen).
QRect quickZipWindowFrame(const QRect &pad, const QSize &windowSize, const QRect &area);

} // namespace StatusItemPlacement
