#include "ImageManager.h"

#include "core/destinations/Destination.h"

#include <QApplication>
#include <QFile>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPainter>
#include <QSvgRenderer>

#include <algorithm>
#include <cmath>

using namespace Qt::Literals::StringLiterals;

namespace {
QSize pixelSize(const QSizeF &size, qreal ratio)
{
    return QSize(std::max(1, qRound(size.width() * ratio)), std::max(1, qRound(size.height() * ratio)));
}

QImage transparentImage(const QSizeF &size, qreal ratio)
{
    QImage image(pixelSize(size, ratio), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    return image;
}
} // namespace

qreal ImageManager::screenPixelRatio()
{
    const auto *app = qobject_cast<QGuiApplication *>(QCoreApplication::instance());
    return app != nullptr ? app->devicePixelRatio() : 1.0;
}

QImage ImageManager::imageNamed(const QString &name, const QSizeF &size)
{
    const QString base = name.section(u'.', 0, 0);
    const QString path = u":/images/%1.svg"_s.arg(base);
    if (!QFile::exists(path))
        return {};
    QSvgRenderer renderer(path);
    const qreal ratio = screenPixelRatio();
    QImage image = transparentImage(size, ratio);
    QPainter painter(&image);
    renderer.render(&painter, QRectF(QPointF(0, 0), size));
    return image;
}

QImage ImageManager::iconForDestination(const Destination &destination, const QSizeF &size)
{
    if (!destination.iconName().isEmpty())
        return imageNamed(destination.iconName(), size);
    if (destination.type() != Destination::DestinationTypeGeneric)
        return {};
    // The desktop's icons need the widgets application.
    if (qobject_cast<QApplication *>(QCoreApplication::instance()) == nullptr)
        return {};
    const QIcon icon = QFileIconProvider().icon(QFileInfo(destination.rootFolderPath()));
    const qreal ratio = screenPixelRatio();
    QImage image = icon.pixmap(size.toSize(), ratio).toImage();
    sizeImage(image, size);
    return image;
}

void ImageManager::sizeImage(QImage &image, const QSizeF &size)
{
    if (image.isNull())
        return;
    const qreal ratio = image.devicePixelRatio();
    image = image.scaled(pixelSize(size, ratio), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    image.setDevicePixelRatio(ratio);
}

QImage ImageManager::tintedImage(const QImage &image, const QColor &color, qreal intensity)
{
    QImage tinted = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    tinted.setDevicePixelRatio(image.devicePixelRatio());
    QColor tint = color;
    tint.setAlphaF(static_cast<float>(std::clamp(intensity, 0.0, 1.0)));
    QPainter painter(&tinted);
    painter.setCompositionMode(QPainter::CompositionMode_SourceAtop);
    painter.fillRect(QRectF(QPointF(0, 0), tinted.deviceIndependentSize()), tint);
    return tinted;
}
