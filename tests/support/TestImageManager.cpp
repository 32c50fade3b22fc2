#include "support/ImageManager.h"

#include <QtTest>

using namespace Qt::Literals::StringLiterals;

class TestImageManager : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everyImageOfTheProductLoads_data();
    void everyImageOfTheProductLoads();
    void tintTakesOnlyTheOpaqueParts();
};

void TestImageManager::everyImageOfTheProductLoads_data()
{
    QTest::addColumn<QString>("name");
    for (const char *name : {"PlusSign", "AlongsideIcon", "DesktopIcon", "DropboxIcon", "iCloudIcon", "AirDropIcon",
             "FolderIcon", "EmailIcon", "FTPIcon", "MessagesIcon", "ConfigureIcon", "CloseIcon",
             "TessaryStatusItemImage", "TessaryLogo.png"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

void TestImageManager::everyImageOfTheProductLoads()
{
    QFETCH(QString, name);
    const QImage image = ImageManager::imageNamed(name, QSizeF(80, 80));
    QVERIFY(!image.isNull());
    QCOMPARE(image.deviceIndependentSize(), QSizeF(80, 80));
    // Something is drawn, and the edges are left transparent or drawn: never an empty picture.
    int opaque = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            opaque += qAlpha(image.pixel(x, y)) > 128 ? 1 : 0;
    QVERIFY2(opaque > image.width() * image.height() / 20, qPrintable(QString::number(opaque)));
}

void TestImageManager::tintTakesOnlyTheOpaqueParts()
{
    QImage image(10, 10, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    for (int x = 0; x < 5; ++x)
        for (int y = 0; y < 10; ++y)
            image.setPixel(x, y, qRgba(200, 30, 30, 255));

    const QImage untouched = ImageManager::tintedImage(image, Qt::white, 0.0);
    QCOMPARE(untouched.convertToFormat(QImage::Format_ARGB32), image);

    const QImage white = ImageManager::tintedImage(image, Qt::white, 1.0).convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(white.pixel(2, 5), qRgba(255, 255, 255, 255));
    QCOMPARE(qAlpha(white.pixel(7, 5)), 0);

    const QImage half = ImageManager::tintedImage(image, Qt::white, 0.5).convertToFormat(QImage::Format_ARGB32);
    QVERIFY(qRed(half.pixel(2, 5)) > 200 && qGreen(half.pixel(2, 5)) > 120 && qGreen(half.pixel(2, 5)) < 160);
}

QTEST_MAIN(TestImageManager)
#include "TestImageManager.moc"
