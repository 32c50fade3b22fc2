#include "support/RoundedRectangleView.h"
#include "support/ShadowView.h"

#include <QtTest>

using namespace Qt::Literals::StringLiterals;

namespace {
QImage render(QWidget &view)
{
    QImage image(view.size(), QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    view.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

bool isRed(QRgb pixel)
{
    return qAlpha(pixel) > 200 && qRed(pixel) > 200 && qGreen(pixel) < 60;
}
} // namespace

class TestDecorativeViews : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void borderRunsAlongTheEdge_data();
    void borderRunsAlongTheEdge();
    void shadowSurroundsTheView();
};

void TestDecorativeViews::borderRunsAlongTheEdge_data()
{
    QTest::addColumn<double>("width");
    QTest::addColumn<int>("firstOutside"); // the first column left of the middle the stroke does not cover
    QTest::newRow("2 points: on the edge") << 2.0 << 1;
    QTest::newRow("4 points: 2 inside the edge") << 4.0 << 4;
}

void TestDecorativeViews::borderRunsAlongTheEdge()
{
    QFETCH(double, width);
    QFETCH(int, firstOutside);
    RoundedRectangleView view;
    view.resize(100, 60);
    view.setRenderBackground(false);
    view.setRenderBorder(true);
    view.setBorderWidth(width);
    view.setBorderColor(Qt::red);
    const QImage image = render(view);
    const int middle = 30;
    for (int x = 0; x < firstOutside; ++x)
        QVERIFY2(isRed(image.pixel(x, middle)), qPrintable(QString::number(x)));
    QCOMPARE(qAlpha(image.pixel(firstOutside + 1, middle)), 0);
    QCOMPARE(qAlpha(image.pixel(50, middle)), 0);
}

void TestDecorativeViews::shadowSurroundsTheView()
{
    QWidget parent;
    parent.resize(400, 300);
    QWidget target(&parent);
    target.setGeometry(10, 10, 200, 100);
    ShadowView shadow(10, 0, 4, &parent);
    shadow.applyToView(&target);
    QCOMPARE(shadow.geometry(), QRect(-40, -40, 300, 200));

    ShadowView placed(10, 0, 4);
    placed.setGeometry(0, 0, 300, 200);
    const QImage image = render(placed);
    QVERIFY(qAlpha(image.pixel(150, 153)) > 40); // just below the view's area, where the shadow falls
    QCOMPARE(qAlpha(image.pixel(2, 2)), 0); // far out in the margin
}

QTEST_MAIN(TestDecorativeViews)
#include "TestDecorativeViews.moc"
