#include "support/ImageManager.h"

#include <QtTest>

using namespace Qt::Literals::StringLiterals;

class TestImageManager : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everyImageOfTheProductLoads_data();
    void everyImageOfTheProductLoads();
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

QTEST_MAIN(TestImageManager)
#include "TestImageManager.moc"
