// The introduction: its paging and demonstration movie, and the ways it closes.

#include "ModalDriver.h"

#include "gui/intro/IntroductionDialog.h"
#include "gui/intro/IntroductionPages.h"
#include "gui/support/UtilitiesWindows.h"

#include <QLabel>
#include <QPushButton>
#include <QtTest>

using namespace Qt::Literals::StringLiterals;

class TestIntroduction : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { UtilitiesWindows::setNonInteractive(false); }

    void pagesOneAfterTheOther();
    void everyWayOfClosingEndsItOnce_data();
    void everyWayOfClosingEndsItOnce();

private:
    static QString indicator(const IntroductionDialog &intro)
    {
        return intro.window()->findChild<QLabel *>(u"pageIndicator"_s)->text();
    }
    static QPushButton *button(const IntroductionDialog &intro, const QString &name)
    {
        return intro.window()->findChild<QPushButton *>(name);
    }
};

void TestIntroduction::pagesOneAfterTheOther()
{
    IntroductionDialog intro(false, [] {});
    intro.show();
    QCOMPARE(indicator(intro), u"1 of 6"_s);
    QVERIFY(!button(intro, u"previousButton"_s)->isEnabled());
    QCOMPARE(button(intro, u"nextButton"_s)->text(), u"Next"_s);
    intro.previousButtonPressed(); // nothing before the first
    QCOMPARE(intro.indexOfCurrentPage(), 0);
    // The first page's movie can be read here, and plays, looping, while its page is shown.
    QMovie *movie = static_cast<IntroductionQuickZipPage *>(intro.pages().first())->movie();
    QVERIFY(movie != nullptr);
    QVERIFY(movie->frameCount() > 50);
    QCOMPARE(movie->loopCount(), -1);
    const int firstFrame = movie->currentFrameNumber();
    QTRY_VERIFY_WITH_TIMEOUT(movie->currentFrameNumber() > firstFrame, 1000);

    for (int i = 0; i < 5; ++i)
        button(intro, u"nextButton"_s)->click();
    QCOMPARE(movie->state(), QMovie::Paused);
    QCOMPARE(indicator(intro), u"6 of 6"_s);
    QCOMPARE(button(intro, u"nextButton"_s)->text(), u"Done"_s);
    QVERIFY(button(intro, u"previousButton"_s)->isEnabled());
    // One page shows at a time, once its fade is over.
    const QList<QWidget *> pages = intro.pages();
    QTRY_COMPARE(std::count_if(pages.cbegin(), pages.cend(), [](QWidget *page) { return page->isVisible(); }), 1);
    QVERIFY(pages.last()->isVisible());

    button(intro, u"previousButton"_s)->click();
    QCOMPARE(indicator(intro), u"5 of 6"_s);
    QCOMPARE(button(intro, u"nextButton"_s)->text(), u"Next"_s);
    for (int i = 0; i < 4; ++i)
        intro.previousButtonPressed();
    QCOMPARE(movie->state(), QMovie::Running);
}

void TestIntroduction::everyWayOfClosingEndsItOnce_data()
{
    QTest::addColumn<QString>("way");
    QTest::addColumn<bool>("reminderFlag");
    QTest::addColumn<bool>("reminded");
    QTest::newRow("Done on the last page") << u"done"_s << true << false;
    QTest::newRow("Skip at the first launch") << u"skip"_s << true << true;
    QTest::newRow("Skip from the menu") << u"skip"_s << false << false;
    QTest::newRow("the close button") << u"close"_s << true << false;
}

void TestIntroduction::everyWayOfClosingEndsItOnce()
{
    QFETCH(QString, way);
    QFETCH(bool, reminderFlag);
    QFETCH(bool, reminded);
    int completions = 0;
    IntroductionDialog intro(reminderFlag, [&completions] { ++completions; });
    intro.show();
    ModalDriver driver;
    driver.answerMessageBox();

    if (way == u"done"_s) {
        for (int i = 0; i < 6; ++i)
            intro.nextButtonPressed();
    } else if (way == u"skip"_s) {
        button(intro, u"skipButton"_s)->click();
    } else {
        intro.window()->close();
    }
    QVERIFY(!intro.window()->isVisible()); // gone before any reminder
    QCOMPARE(completions, 1);
    QCOMPARE(driver.messages.size(), 0);
    QTest::qWait(300); // past the reminder's 0.1 s
    QCOMPARE(driver.messages,
        reminded ? QStringList {u"Tessary Introduction|"_s + IntroductionDialog::SkipReminderMessage} : QStringList());
    intro.window()->close();
    QCOMPARE(completions, 1);
}

QTEST_MAIN(TestIntroduction)
#include "TestIntroduction.moc"
