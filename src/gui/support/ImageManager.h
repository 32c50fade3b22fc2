#pragma once

#include <QColor>
#include <QImage>
#include <QSizeF>
#include <QString>

class Destination;

// Prepares the pictures of the Destination tiles: the product's images rendered crisp at the
// size asked for (in points, at the screen's pixel ratio), the desktop's icon of a folder, a
// tinted copy for a highlighted tile and a grey copy. Every operation returns a new image.
class ImageManager final
{
public:
    /// The size of a tile's picture, in points.

    /// The named image of the product ("DesktopIcon", "TessaryLogo.png"...) at exactly that size;
    /// a null image for an unknown name.
    static QImage imageNamed(const QString &name, const QSizeF &size);
    /// The tile's picture of the Destination at that size: its named image, or, for a plain
    /// Destination, the desktop's icon of its root folder; null for a kind without a picture.
    static QImage iconForDestination(const Destination &destination, const QSizeF &size);
    /// Gives the image exactly that size; the aspect ratio is not kept.
    static void sizeImage(QImage &image, const QSizeF &size);
    /// A copy whose opaque parts take the colour at the intensity (0..1); transparent parts stay.
    static QImage tintedImage(const QImage &image, const QColor &color, qreal intensity);

private:
    static qreal screenPixelRatio();
};
