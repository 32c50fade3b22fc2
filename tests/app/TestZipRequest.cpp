// Whole zip requests, headless, under a temporary home: runs in a private desktop session
// (tests/helpers/with-desktop-session) for the preset password's keychain.

#include "ArchiveReader.h"
#include "DesktopServiceStandIns.h"
#include "ModalDriver.h"
#include "PresetPassword.h"
#include "TemporaryHome.h"
#include "TestFiles.h"

#include "app/ProgressDialogStack.h"
#include "app/QuickZipPolicies.h"
#include "app/Tessary.h"
#include "app/ZipRequests.h"
#include "core/destinations/DestinationFolder.h"
#include "core/destinations/DestinationListModel.h"
#include "core/pipeline/ArchiveNaming.h"
#include "core/settings/Keychain.h"
#include "core/settings/KeychainBackend.h"
#include "core/settings/Settings.h"
#include "core/support/Utilities.h"
#include "gui/pipeline/ProgressDialog.h"
#include "gui/support/Alerts.h"
#include "gui/support/UtilitiesWindows.h"
#include "platform/DesktopServices.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

using namespace Qt::Literals::StringLiterals;

Q_DECLARE_METATYPE(ZipRequests::Outcome)

namespace {

// How one request ended.
struct Outcome
{
    bool ended = false;
    ZipRequests::Outcome outcome = ZipRequests::Outcome::Cancelled;
    QString archivePath;
    Error error;

    ZipRequests::Completion recorder()
    {
        return [this](ZipRequests::Outcome how, const QString &path, const Error &failure) {
            QVERIFY(!ended); // a request ends once
            *this = {true, how, path, failure};
        };
    }
};

// The desktop's keychain behind a keyring that takes its time to answer (as behind its unlock
// prompt), or refuses to.
class SlowKeychain final : public KeychainBackend
{
public:
    SlowKeychain(int delayMs, bool available)
        : m_real(KeychainBackend::system())
        , m_delayMs(delayMs)
        , m_available(available)
    {
    }
    Status find(const Attributes &attributes, bool all, bool withSecret, QList<Item> &items) override
    {
        QThread::msleep(static_cast<unsigned long>(m_delayMs));
        if (!m_available)
            return {StatusNotAvailable, u"The keyring stayed locked."_s};
        return m_real.find(attributes, all, withSecret, items);
    }
    Status create(const Attributes &attributes, const QString &label, const QByteArray &secret) override
    {
        return m_real.create(attributes, label, secret);
    }
    Status replaceSecret(const Attributes &attributes, const QByteArray &secret) override
    {
        return m_real.replaceSecret(attributes, secret);
    }
    Status remove(const Attributes &attributes) override { return m_real.remove(attributes); }

private:
    KeychainBackend &m_real;
    int m_delayMs;
    bool m_available;
};

// The notices on screen now, by their text.
QStringList visibleNotices()
{
    QStringList texts;
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (const QWidget *window : windows)
        if (window->objectName() == u"TessaryNotice"_s && window->isVisible())
            texts << window->findChild<QLabel *>()->text();
    return texts;
}

bool makeSparseFile(const QString &path, qint64 size)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.resize(size);
}
} // namespace

class TestZipRequest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void decisionTable_data();
    void decisionTable();
    void cancelledDialogCancelsTheRequest();
    void takenNamesAreNumbered();
    void aRequestThatCannotBeMadeWritesNothing_data();
    void aRequestThatCannotBeMadeWritesNothing();
    void longJobsShowStackedWindowsAndCancel();
    void presetPasswordChecks();
    void presetPasswordComesOffTheGuiThread_data();
    void presetPasswordComesOffTheGuiThread();
    void anArchiveInAFolderOfTheUsersIsAnnounced_data();
    void anArchiveInAFolderOfTheUsersIsAnnounced();

private:
    QUrl item(const QString &relative) const { return QUrl::fromLocalFile(m_home->filePath(u"items/"_s + relative)); }
    DestinationPointer desktop() const { return m_controller->destinationList()->destinations().at(1); }
    DestinationPointer backups() const { return m_controller->destinationList()->destinations().at(3); }
    void run(const QList<QUrl> &urls, const DestinationPointer &destination, Outcome &outcome);

    std::unique_ptr<TemporaryHome> m_home;
    std::unique_ptr<Tessary> m_controller;
};

void TestZipRequest::init()
{
    UtilitiesWindows::setNonInteractive(false);
    m_home = std::make_unique<TemporaryHome>();
    Keychain::deletePasswordForService(u"Tessary"_s, u"Tessary"_s); // no preset password from an earlier test
    QVERIFY(writeFile(m_home->filePath(u"items/Budget.xlsx"_s), "numbers"));
    QVERIFY(writeFile(m_home->filePath(u"items/notes.txt"_s), "words"));
    m_controller = std::make_unique<Tessary>();
    m_controller->destinationList()->load();
}

void TestZipRequest::cleanup()
{
    QTRY_VERIFY(m_controller->zipRequests()->progressWindows()->windows().isEmpty());
    QTRY_VERIFY(visibleNotices().isEmpty());
    m_controller.reset();
    m_home.reset();
}

void TestZipRequest::run(const QList<QUrl> &urls, const DestinationPointer &destination, Outcome &outcome)
{
    m_controller->zipRequests()->quickZip(urls, destination, outcome.recorder());
    QTRY_VERIFY_WITH_TIMEOUT(outcome.ended, 20000);
}

void TestZipRequest::decisionTable_data()
{
    QTest::addColumn<int>("namePolicy");
    QTest::addColumn<int>("passwordPolicy");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("password");
    // By policy, in the order of the types: the archive's name, and its password (null: none).
    const char *const namePolicies[] = {"archive", "derived", "ask", "preset"};
    const QString names[] = {u"Tessary Archive"_s, u"Budget and More"_s, u"Typed Name"_s, u"Weekly"_s};
    const char *const passwordPolicies[] = {"none", "ask", "preset"};
    const QString passwords[] = {QString(), u"typed pw"_s, u"preset pw"_s};
    for (int name = ZipNameTypeTessaryArchive; name <= ZipNameTypePreset; ++name)
        for (int password = ZipPasswordTypeNone; password <= ZipPasswordTypePreset; ++password)
            QTest::addRow("%s, %s", namePolicies[name], passwordPolicies[password])
                << name << password << names[name] << passwords[password];
}

void TestZipRequest::decisionTable()
{
    QFETCH(int, namePolicy);
    QFETCH(int, passwordPolicy);
    QFETCH(QString, name);
    QFETCH(QString, password);
    Settings &settings = *m_controller->settings();
    settings.setQuickZipNameType(namePolicy);
    settings.setQuickZipPasswordType(passwordPolicy);
    settings.setQuickZipName(u"Weekly"_s);
    QVERIFY(setPresetPassword(u"preset pw"_s));
    // The stored encryption takes turns by row; asked for a password, the user picks the other one.
    const auto stored = namePolicy % 2 == 0 ? ZipEncryptionCompatible : ZipEncryptionAES256;
    settings.setPasswordEncryption(stored);
    const QByteArray words = QByteArray("words\n").repeated(100); // one that deflates
    QVERIFY(writeFile(m_home->filePath(u"items/notes.txt"_s), words));

    ModalDriver driver;
    const bool asksName = namePolicy == ZipNameTypeAsk;
    const bool asksPassword = passwordPolicy == ZipPasswordTypeAsk;
    int offered = -1;
    if (asksName || asksPassword) {
        driver.then([asksName, asksPassword, &offered](QWidget *modal) {
            if (asksName)
                ModalDriver::type(modal, "nameTextField", u"Typed Name"_s);
            if (asksPassword) {
                auto *choice = modal->findChild<QComboBox *>(u"encryptionChoice"_s);
                offered = choice->currentIndex();
                choice->setCurrentIndex(1 - offered);
                ModalDriver::type(modal, "passwordTextField", u"typed pw"_s);
                ModalDriver::type(modal, "confirmTextField", u"typed pw"_s);
            }
            ModalDriver::press(modal, Qt::Key_Return);
        });
    }
    Outcome outcome;
    run({item(u"Budget.xlsx"_s), item(u"notes.txt"_s)}, desktop(), outcome);

    QCOMPARE(driver.remainingSteps(), 0);
    QCOMPARE(outcome.outcome, ZipRequests::Outcome::Finished);
    QCOMPARE(outcome.archivePath, m_home->desktopPath() + u'/' + name + u".zip"_s);
    if (asksName) // the choice made in the dialog is remembered (the pop-up was left as it opened)
        QCOMPARE(settings.lastUsedAskForNameType(), 0);
    // The dialog offers the stored encryption first; what is picked there is for this archive only.
    if (asksPassword)
        QCOMPARE(offered, int(stored));
    const bool aes = !password.isNull() && (asksPassword != (stored == ZipEncryptionAES256));
    if (aes) { // unzip cannot read AES-256: 7-Zip tests every entry with the password
        QCOMPARE(ArchiveReader::listEntries(outcome.archivePath), (QStringList {u"Budget.xlsx"_s, u"notes.txt"_s}));
        QCOMPARE(QProcess::execute(u"7zz"_s, {u"t"_s, u"-bso0"_s, u"-p"_s + password, outcome.archivePath}), 0);
    } else {
        QCOMPARE(ArchiveReader().extract(outcome.archivePath), password.isNull());
        ArchiveReader archive;
        QVERIFY(archive.extract(outcome.archivePath, password));
        QCOMPARE(
            archive.entries(), (QMap<QString, QByteArray> {{u"Budget.xlsx"_s, "numbers"}, {u"notes.txt"_s, words}}));
    }
    const QString method = password.isNull() ? QString() : aes ? u"AES-256 "_s : u"ZipCrypto "_s;
    const QStringList methods = ArchiveReader::sevenZipDetails(outcome.archivePath, password, {u"Method"_s});
    QCOMPARE(methods.size(), 2);
    QVERIFY2(methods.first().startsWith(u"Method = "_s + method), qPrintable(methods.first()));
    QCOMPARE(methods.last(), u"Method = "_s + method + u"Deflate"_s);
    QCOMPARE(settings.passwordEncryption(), stored);
}

void TestZipRequest::cancelledDialogCancelsTheRequest()
{
    m_controller->settings()->setQuickZipPasswordType(ZipPasswordTypeAsk);
    ModalDriver driver;
    driver.then([](QWidget *modal) { ModalDriver::press(modal, Qt::Key_Escape); });
    Outcome outcome;
    run({item(u"notes.txt"_s)}, desktop(), outcome);
    QCOMPARE(outcome.outcome, ZipRequests::Outcome::Cancelled);
    QVERIFY(QDir(m_home->desktopPath()).isEmpty());
}

void TestZipRequest::takenNamesAreNumbered()
{
    QVERIFY(writeFile(m_home->desktopPath() + u"/Tessary Archive.zip"_s, "someone else's"));
    m_controller->settings()->setQuickZipNameType(ZipNameTypeTessaryArchive);
    // Two requests at once: the second must not pick the name the first is still writing.
    Outcome first;
    Outcome second;
    m_controller->zipRequests()->quickZip({item(u"notes.txt"_s)}, desktop(), first.recorder());
    m_controller->zipRequests()->quickZip({item(u"Budget.xlsx"_s)}, desktop(), second.recorder());
    QTRY_VERIFY(first.ended && second.ended);
    QCOMPARE(first.archivePath, m_home->desktopPath() + u"/Tessary Archive #2.zip"_s);
    QCOMPARE(second.archivePath, m_home->desktopPath() + u"/Tessary Archive #3.zip"_s);
    QCOMPARE(readFile(m_home->desktopPath() + u"/Tessary Archive.zip"_s), QByteArray("someone else's"));
    QCOMPARE(ArchiveReader::listEntries(second.archivePath), QStringList {u"Budget.xlsx"_s});

    QCOMPARE(ArchiveNaming::archiveFileName(u"Q3.final"_s), u"Q3.zip"_s);

    // A name is a file name: it never leads out of its folder.
    for (const QString &name : {u"../../escaped-archive"_s, u".."_s, u"."_s, u"a/b"_s, u"nul\u0000x"_s}) {
        const QString fileName = ArchiveNaming::archiveFileName(name);
        QVERIFY2(!fileName.contains(u'/'), qPrintable(fileName));
        QVERIFY2(!fileName.startsWith(u'.') || name.startsWith(u"../"_s), qPrintable(fileName));
        QVERIFY(!fileName.contains(QChar(0)));
    }
}

void TestZipRequest::aRequestThatCannotBeMadeWritesNothing_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<bool>("twoOfOneName");
    QTest::addColumn<ZipRequests::Outcome>("outcome");
    QTest::addColumn<QString>("message");
    QTest::newRow("no folder set") << QString() << false << ZipRequests::Outcome::Cancelled
                                   << u"No Folder Set|No folder is set for the Destination \"Broken\", so no archive "
                                      "was made. Choose its folder again."_s;
    QTest::newRow("folder gone")
        << u"HOME/gone"_s << false << ZipRequests::Outcome::Cancelled
        << u"Folder Not Found|The folder \"HOME/gone\" of the Destination \"Broken\" could not "
           "be found, so no archive was made. It may have been moved or removed, or its disk "
           "may not be connected."_s;
    // A plain Destination makes its folder; a file stands where the folder goes.
    QTest::newRow("a folder that cannot be made")
        << u"HOME/in the way/Archives"_s << false << ZipRequests::Outcome::Cancelled
        << u"Folder Not Made|The folder \"HOME/in the way/Archives\" of the Destination \"Broken\" could not be made, "
           "so no archive was made. Check that you may write there."_s;
    // zip refuses the items after the name was claimed on disk: the claim goes too.
    QTest::newRow("two items of one name") << u"HOME/Target"_s << true << ZipRequests::Outcome::Failed
                                           << u"Something Went Wrong...|Two of the items are named \"notes.txt\"."_s;
}

void TestZipRequest::aRequestThatCannotBeMadeWritesNothing()
{
    QFETCH(QString, folder);
    QFETCH(bool, twoOfOneName);
    QFETCH(ZipRequests::Outcome, outcome);
    QFETCH(QString, message);
    folder.replace(u"HOME"_s, m_home->path());
    message.replace(u"HOME"_s, m_home->path());
    QList<QUrl> items {item(u"notes.txt"_s)};
    if (twoOfOneName) {
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(writeFile(m_home->filePath(u"other/notes.txt"_s), "other words"));
        items << QUrl::fromLocalFile(m_home->filePath(u"other/notes.txt"_s));
    }
    const bool blocked = folder.contains(u"in the way"_s);
    if (blocked)
        QVERIFY(writeFile(m_home->filePath(u"in the way"_s), "a file"));
    const DestinationPointer broken = blocked ? std::make_shared<Destination>(folder, u"Broken"_s)
                                              : std::make_shared<DestinationFolder>(folder, u"Broken"_s);
    broken->setUserInteraction(&Alerts::userInteraction());
    const QString name = u"tessary-nowhere-%1"_s.arg(QCoreApplication::applicationPid());
    ModalDriver driver;
    driver.answerMessageBox();
    Outcome ended;
    m_controller->zipRequests()->zip(items, broken, name, QString(), ZipEncryptionCompatible, ended.recorder());
    QTRY_VERIFY(ended.ended);
    QCOMPARE(ended.outcome, outcome);
    QCOMPARE(driver.messages.size(), 1);
    QVERIFY2(driver.messages.first().startsWith(message), qPrintable(driver.messages.first()));
    QVERIFY(!QFileInfo::exists(u"/"_s + name + u".zip"_s));
    if (twoOfOneName)
        QCOMPARE(entriesIn(folder), QStringList());
    else
        QVERIFY(folder.isEmpty() || !QFileInfo::exists(folder)); // not made again
}

void TestZipRequest::longJobsShowStackedWindowsAndCancel()
{
    QVERIFY(makeSparseFile(m_home->filePath(u"big/first/zeros"_s), qint64(1) << 30));
    QVERIFY(makeSparseFile(m_home->filePath(u"big/second/zeros"_s), qint64(1) << 30));
    m_controller->settings()->setPreferredWindowLocation(Settings::Window::Progress, QPointF(200, 100));
    Outcome earlier;
    run({item(u"notes.txt"_s)}, backups(), earlier);
    QTRY_VERIFY(visibleNotices().isEmpty());

    Outcome first;
    Outcome second;
    m_controller->zipRequests()->zip({QUrl::fromLocalFile(m_home->filePath(u"big/first"_s))}, backups(), u"First"_s,
        QString(), ZipEncryptionCompatible, first.recorder());
    m_controller->zipRequests()->zip({QUrl::fromLocalFile(m_home->filePath(u"big/second"_s))}, backups(), u"Second"_s,
        QString(), ZipEncryptionCompatible, second.recorder());
    const QList<ProgressDialog *> windows = m_controller->zipRequests()->progressWindows()->windows();
    QCOMPARE(windows.size(), 2);
    QTRY_VERIFY_WITH_TIMEOUT(windows.at(0)->wasShown() && windows.at(1)->wasShown(), 3000);
    QCOMPARE(windows.at(0)->window()->pos(), QPoint(200, 100));
    QCOMPARE(windows.at(1)->window()->pos(), QPoint(200, 190)); // 90 points below the newest
    QCOMPARE(windows.at(1)->window()->windowTitle(), u"Second"_s);
    QTRY_COMPARE(
        windows.at(0)->window()->findChild<QLabel *>(u"messageTextField"_s)->text(), u"Creating Tessary Archive..."_s);
    // While they run, nothing is under their names, which are claimed all the same: another
    // program of ours picks another name.
    const QString folder = backups()->rootFolderPath();
    QVERIFY(!QFileInfo::exists(folder + u"/First.zip"_s));
    QCOMPARE(Utilities::availableFileName(u"First.zip"_s, folder), u"First #2.zip"_s);

    for (ProgressDialog *window : windows)
        window->window()->findChild<QPushButton *>(u"cancelButton"_s)->click();
    QTRY_VERIFY_WITH_TIMEOUT(first.ended && second.ended, 10000);
    QCOMPARE(first.outcome, ZipRequests::Outcome::Cancelled);
    QCOMPARE(second.outcome, ZipRequests::Outcome::Cancelled);
    // Neither the archives, their claimed names nor their parts' folders are left.
    QTRY_COMPARE_WITH_TIMEOUT(entriesIn(backups()->rootFolderPath()), QStringList {u"Tessary Archive.zip"_s}, 10000);
    QCOMPARE(m_controller->zipRequests()->lastArchivePath(), earlier.archivePath);
    QCOMPARE(m_controller->zipRequests()->progressWindows()->nextLocation(), QPointF(200, 100));
}

void TestZipRequest::presetPasswordChecks()
{
    Settings &settings = *m_controller->settings();
    settings.setPasswordRequiredToChangePassword(true);

    QStringList dialogs;
    const auto record
        = [&dialogs](QWidget *modal) { dialogs << QString::fromLatin1(modal->metaObject()->className()); };

    // No preset password yet: the set-password dialog comes at once.
    ModalDriver first;
    first.then([&record](QWidget *modal) {
        record(modal);
        ModalDriver::type(modal, "passwordTextField", u"old"_s);
        ModalDriver::type(modal, "confirmTextField", u"old"_s);
        ModalDriver::press(modal, Qt::Key_Return);
    });
    m_controller->quickZipPolicies()->setSavedPasswordSelected();
    QTRY_COMPARE(dialogs, QStringList {u"PresetPasswordDialog"_s});
    QCOMPARE(presetPassword(), u"old"_s);

    // Now the existing one must be typed first; a cancel leaves it and opens nothing else.
    ModalDriver second;
    const auto cancel = [&record](QWidget *modal) {
        record(modal);
        ModalDriver::press(modal, Qt::Key_Escape);
    };
    second.then(cancel).then(cancel);
    m_controller->quickZipPolicies()->setSavedPasswordSelected();
    QTRY_COMPARE(dialogs, (QStringList {u"PresetPasswordDialog"_s, u"EnterPasswordDialog"_s}));
    QCOMPARE(presetPassword(), u"old"_s);
    QCOMPARE(second.remainingSteps(), 1);
}

void TestZipRequest::presetPasswordComesOffTheGuiThread_data()
{
    QTest::addColumn<bool>("available");
    QTest::newRow("a keyring that answers late") << true;
    QTest::newRow("a keyring that refuses") << false;
}

void TestZipRequest::presetPasswordComesOffTheGuiThread()
{
    QFETCH(bool, available);
    m_controller->settings()->setQuickZipPasswordType(ZipPasswordTypePreset);
    QVERIFY(setPresetPassword(u"preset pw"_s));
    SlowKeychain slow(1500, available);
    KeychainBackend::setSystem(&slow);

    // The GUI thread goes on while the keyring takes its time.
    int ticks = 0;
    QTimer clock;
    connect(&clock, &QTimer::timeout, [&ticks] { ++ticks; });
    clock.start(20);
    Outcome outcome;
    ModalDriver driver;
    driver.answerMessageBox();
    run({item(u"notes.txt"_s)}, desktop(), outcome);
    DesktopServices::install();
    QVERIFY2(ticks >= 30, qPrintable(QString::number(ticks)));

    if (available) {
        QCOMPARE(outcome.outcome, ZipRequests::Outcome::Finished);
        QVERIFY(ArchiveReader().extract(outcome.archivePath, u"preset pw"_s));
        QVERIFY(!ArchiveReader().extract(outcome.archivePath));
        return;
    }
    // A protected archive was asked for: without its password, none at all, never an open one.
    QCOMPARE(outcome.outcome, ZipRequests::Outcome::Failed);
    QVERIFY(outcome.error.localizedFailureReason().startsWith(u"Your preset password could not be read"_s));
    QCOMPARE(driver.messages.size(), 1);
    QVERIFY(QDir(m_home->desktopPath()).isEmpty());
}

void TestZipRequest::anArchiveInAFolderOfTheUsersIsAnnounced_data()
{
    QTest::addColumn<int>("destination");
    QTest::addColumn<bool>("announced");
    QTest::newRow("alongside the items") << 0 << true;
    QTest::newRow("on the Desktop") << 1 << true;
    QTest::newRow("in the Backups folder, which shows its own notice") << 3 << false;
}

void TestZipRequest::anArchiveInAFolderOfTheUsersIsAnnounced()
{
    QFETCH(int, destination);
    QFETCH(bool, announced);
    DesktopServiceStandIns services;
    QVERIFY(services.isValid());
    // An item with an option-like name, and one from another folder: both stay as they were.
    QVERIFY(writeFile(m_home->filePath(u"items/-m"_s), "option-like"));
    QVERIFY(writeFile(m_home->filePath(u"elsewhere/far.txt"_s), "far"));
    const auto before = ArchiveReader::describeTree(m_home->filePath(u"items"_s));
    m_controller->settings()->setQuickZipNameType(ZipNameTypeDerived);
    Outcome outcome;
    run({item(u"-m"_s), QUrl::fromLocalFile(m_home->filePath(u"elsewhere/far.txt"_s))},
        m_controller->destinationList()->destinations().at(destination), outcome);
    QCOMPARE(outcome.outcome, ZipRequests::Outcome::Finished);
    if (destination == 0)
        QCOMPARE(outcome.archivePath, m_home->filePath(u"items/-m and More.zip"_s));
    auto after = ArchiveReader::describeTree(m_home->filePath(u"items"_s));
    after.remove(u"-m and More.zip"_s);
    QCOMPARE(after, before);
    QCOMPARE(readFile(m_home->filePath(u"elsewhere/far.txt"_s)), QByteArray("far"));
    QCOMPARE(ArchiveReader::listEntries(outcome.archivePath), (QStringList {u"-m"_s, u"far.txt"_s}));
    if (!announced) {
        QTest::qWait(300);
        QCOMPARE(services.notifications.received, QStringList());
        return;
    }
    // Named, with the way to it; nothing modal.
    const QFileInfo archive(outcome.archivePath);
    QTRY_COMPARE(services.notifications.received,
        QStringList {u"Tessary|Tessary Archive Successfully Created|\"%1\" is in %2.|tessary-action,Show in "
                     "Folder|sound off"_s.arg(archive.fileName(), archive.path())});
    QVERIFY(QApplication::activeModalWidget() == nullptr);
    QTest::qWait(100); // the service's answer, with the notification's number, has come
    services.notifications.chooseButton(u"Show in Folder"_s);
    QTRY_COMPARE(services.fileManager.shown, QStringList {QUrl::fromLocalFile(outcome.archivePath).toString()});
}

QTEST_MAIN(TestZipRequest)
#include "TestZipRequest.moc"
