// Runs in a private desktop session (tests/helpers/with-desktop-session): the system
// notifications go to a notification service on its bus.

#include "ModalDriver.h"
#include "TemporaryHome.h"
#include "TestFiles.h"

#include "core/support/Utilities.h"
#include "gui/support/UtilitiesWindows.h"
#include "platform/AutostartEntry.h"
#include "platform/DesktopNotifications.h"

#include <QDBusConnection>
#include <QDialog>
#include <QDir>
#include <QMessageBox>
#include <QtTest>

using namespace Qt::Literals::StringLiterals;

namespace {

// A notification service that records what it is sent.
class NotificationService : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    QStringList received;

public Q_SLOTS:
    uint Notify(const QString &appName, uint /*replacesId*/, const QString & /*icon*/, const QString &summary,
        const QString &body, const QStringList &actions, const QVariantMap &hints, int /*timeout*/)
    {
        received << u"%1|%2|%3|%4|sound %5"_s.arg(
            appName, summary, body, actions.join(u','), hints.value(u"suppress-sound"_s).toBool() ? u"off"_s : u"on"_s);
        return 1;
    }
};

} // namespace

class TestUtilitiesWindows : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { UtilitiesWindows::installUserInteraction(); }
    void init() { UtilitiesWindows::setNonInteractive(false); }

    void alertsShowTheirTexts();
    void systemNotificationReachesTheService();
    void loginItemIsWrittenOnce();
};

void TestUtilitiesWindows::alertsShowTheirTexts()
{
    // The notice is shaped with its rounded corners cut away: none show black without a compositor.
    const std::unique_ptr<QWidget> notice(
        UtilitiesWindows::createNotification(u"Tessary Archive Successfully Created"_s));
    QVERIFY(!notice->mask().contains(QPoint(0, 0)));
    QVERIFY(notice->mask().contains(notice->rect().center()));

    // Each alert is titled as itself, with the icon of its kind, over the window it concerns. Line
    // breaks written as carriage returns show as line breaks.
    QDialog prompt;
    QStringList seen;
    ModalDriver driver;
    driver
        .then([](QWidget *) {
            Utilities::displayMessage(u"Unable to upload the Tessary Archive.\r\rTry again."_s, u"Connection Failure"_s);
        })
        .then([&seen](QWidget *modal) {
            auto *box = qobject_cast<QMessageBox *>(modal);
            seen << box->windowTitle() << QString::number(box->icon()) << box->parentWidget()->windowTitle()
                 << box->informativeText();
            box->accept();
        })
        .then([](QWidget *modal) {
            Utilities::reportError(Utilities::errorWithCode(0, u"Disk full."_s));
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
            u"Unable to upload the Tessary Archive.\n\nTry again."_s, u"Something Went Wrong..."_s,
            QString::number(QMessageBox::Warning)}));
}

void TestUtilitiesWindows::systemNotificationReachesTheService()
{
    NotificationService service;
    QDBusConnection bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, u"notification service"_s);
    QVERIFY(bus.registerObject(u"/org/freedesktop/Notifications"_s, &service, QDBusConnection::ExportAllSlots));
    QVERIFY(bus.registerService(DesktopNotifications::ServiceName));
    int fallbacks = 0;
    UtilitiesWindows::setSystemNotificationFallback([&fallbacks](const QString &, const QString &) { ++fallbacks; });

    Utilities::displaySystemNotification(u"Share Link Copied"_s, u"The link is on the clipboard."_s);
    QTRY_COMPARE(service.received,
        QStringList {u"Tessary|Share Link Copied|The link is on the clipboard.|close,Close|sound off"_s});
    QCOMPARE(fallbacks, 0);

    bus.unregisterService(DesktopNotifications::ServiceName);
    QDBusConnection::disconnectFromBus(u"notification service"_s);
    UtilitiesWindows::setSystemNotificationFallback({});
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
