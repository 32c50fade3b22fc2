// Runs in a private desktop session (tests/helpers/with-desktop-session): the system
// notifications go to a notification service on its bus.

#include "DesktopServiceStandIns.h"
#include "ModalDriver.h"
#include "TemporaryHome.h"
#include "TestFiles.h"

#include "core/support/Utilities.h"
#include "gui/support/Alerts.h"
#include "gui/support/UtilitiesWindows.h"
#include "platform/AutostartEntry.h"

#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QMessageBox>
#include <QScreen>
#include <QtTest>

using namespace Qt::Literals::StringLiterals;

class TestUtilitiesWindows : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { UtilitiesWindows::setNonInteractive(false); }

    void alertsShowTheirTexts();
    void systemNotificationReachesTheService();
    void loginItemIsWrittenOnce();
};

void TestUtilitiesWindows::alertsShowTheirTexts()
{
    // The notice is shaped with its rounded corners cut away: none show black without a compositor.
    const std::unique_ptr<QWidget> notice(Alerts::createNotification(u"Tessary Archive Successfully Created"_s));
    QVERIFY(!notice->mask().contains(QPoint(0, 0)));
    QVERIFY(notice->mask().contains(notice->rect().center()));
    // However long its text, all of it shows, within the screen.
    for (const QString &text : {u"\"Quarterly Report 2026 (final).zip\" Successfully Uploaded to FTP Server"_s,
             u"\"Quarterly Report 2026 (final, with every appendix and the photos of the event).zip\" "
             "Successfully Uploaded to FTP Server"_s}) {
        const std::unique_ptr<QWidget> longNotice(Alerts::createNotification(text));
        const auto *label = longNotice->findChild<QLabel *>();
        const QRect needed = label->fontMetrics().boundingRect(label->rect(), Qt::AlignCenter | Qt::TextWordWrap, text);
        QVERIFY2(label->rect().contains(needed), qPrintable(text));
        QVERIFY(longNotice->width() <= QGuiApplication::primaryScreen()->availableGeometry().width());
    }

    // Each alert is titled as itself, with the icon of its kind, over the window it concerns. Line
    // breaks written as carriage returns show as line breaks.
    QDialog prompt;
    QStringList seen;
    ModalDriver driver;
    driver
        .then([](QWidget *) {
            Alerts::displayMessage(u"Unable to upload the Tessary Archive.\r\rTry again."_s, u"Connection Failure"_s);
        })
        .then([&seen](QWidget *modal) {
            auto *box = qobject_cast<QMessageBox *>(modal);
            seen << box->windowTitle() << QString::number(box->icon()) << box->parentWidget()->windowTitle()
                 << box->informativeText();
            // Above a job's progress window, which stays on top.
            seen << QString::number(box->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
            box->accept();
        })
        .then([](QWidget *modal) {
            Alerts::reportError(Utilities::errorWithCode(0, u"Disk full."_s));
            modal->close();
        })
        .then([&seen](QWidget *modal) {
            auto *box = qobject_cast<QMessageBox *>(modal);
            seen << box->windowTitle() << QString::number(box->icon());
            box->accept();
        });
    prompt.setWindowTitle(u"New Tessary Archive"_s);
    prompt.exec();
    QCOMPARE(seen,
        (QStringList {u"Connection Failure"_s, QString::number(QMessageBox::Information), u"New Tessary Archive"_s,
            u"Unable to upload the Tessary Archive.\n\nTry again."_s, u"1"_s, u"Something Went Wrong..."_s,
            QString::number(QMessageBox::Warning)}));
}

void TestUtilitiesWindows::systemNotificationReachesTheService()
{
    int fallbacks = 0;
    Alerts::setSystemNotificationFallback([&fallbacks](const QString &, const QString &) { ++fallbacks; });
    {
        DesktopServiceStandIns services;
        QVERIFY(services.isValid());
        Alerts::displaySystemNotification(u"Share Link Copied"_s, u"The link is on the clipboard."_s);
        QTRY_COMPARE(services.notifications.received,
            QStringList {u"Tessary|Share Link Copied|The link is on the clipboard.|close,Close|sound off"_s});

        // A notification with something to do offers it as its button, and does it when chosen.
        int shown = 0;
        Alerts::displaySystemNotification(
            u"Tessary Archive Successfully Created"_s, u"In ~/Desktop."_s, u"Show in Folder"_s, [&shown] { ++shown; });
        QTRY_COMPARE(services.notifications.received.size(), 2);
        QVERIFY2(services.notifications.received.last().endsWith(u",Show in Folder|sound off"_s),
            qPrintable(services.notifications.received.last()));
        QTest::qWait(100); // the service's answer, with the notification's number, has come
        services.notifications.chooseButton(u"Show in Folder"_s);
        QTRY_COMPARE(shown, 1);
        QCOMPARE(fallbacks, 0);
    }

    // Without a service, the tray's balloon tells the user instead.
    Alerts::displaySystemNotification(u"Share Link Copied"_s, u"The link is on the clipboard."_s);
    QTRY_COMPARE(fallbacks, 1);
    Alerts::setSystemNotificationFallback({});
}

void TestUtilitiesWindows::loginItemIsWrittenOnce()
{
    TemporaryHome home;
    UtilitiesWindows::addCurrentAppAsLoginItem();
    const QString entry = home.filePath(u".config/autostart/tessary.desktop"_s);
    QCOMPARE(AutostartEntry::path(), entry);
    const QByteArray written = readFile(entry);
    QVERIFY(written.startsWith("[Desktop Entry]\n"));
    QVERIFY(written.contains(
        QByteArray("\nExec=\"" + QFile::encodeName(QCoreApplication::applicationFilePath()) + "\"\n")));

    // The user changed the entry: it is neither replaced nor doubled.
    QVERIFY(writeFile(entry, written + "Hidden=true\n"));
    UtilitiesWindows::addCurrentAppAsLoginItem();
    QCOMPARE(readFile(entry), written + "Hidden=true\n");
    QCOMPARE(QDir(home.filePath(u".config/autostart"_s)).entryList(QDir::Files), QStringList {u"tessary.desktop"_s});
}

QTEST_MAIN(TestUtilitiesWindows)
#include "TestUtilitiesWindows.moc"
