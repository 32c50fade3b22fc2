#include "ArchiveReader.h"
#include "ModalDriver.h"
#include "PresetPassword.h"
#include "RefusingKeychain.h"
#include "TemporaryHome.h"
#include "TestFiles.h"

#include "app/AddDestinationMenu.h"
#include "app/Launcher.h"
#include "app/QuickZipFlow.h"
#include "app/Tessary.h"
#include "app/ZipRequests.h"
#include "core/destinations/DestinationDropbox.h"
#include "core/destinations/DestinationICloud.h"
#include "core/destinations/DestinationListModel.h"
#include "core/destinations/DestinationStore.h"
#include "core/pipeline/ArchiveNaming.h"
#include "core/settings/Keychain.h"
#include "core/settings/Settings.h"
#include "gui/chooser/DestinationGrid.h"
#include "gui/chooser/DestinationTile.h"
#include "gui/destinations/DestinationsDialog.h"
#include "gui/intro/IntroductionDialog.h"
#include "gui/prompts/CustomZipDialog.h"
#include "gui/statusitem/DropPad.h"
#include "gui/statusitem/QuickZipWindow.h"
#include "gui/statusitem/StatusItem.h"
#include "gui/statusitem/StatusItemPlacement.h"
#include "gui/support/UtilitiesWindows.h"
#include "platform/AutostartEntry.h"
#include "platform/FileManagerMenus.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QtTest>

#include <optional>

using namespace Qt::Literals::StringLiterals;

namespace {
const QRect kScreen(0, 0, 1280, 776); // a 1280 × 800 screen less a bottom panel
const QSize kPad(40, 40);
const QSize kGrid(320, 182); // four tiles by two, and the caption

bool noticeShown(const QString &text)
{
    const QWidgetList windows = QApplication::topLevelWidgets();
    return std::ranges::any_of(windows, [&text](const QWidget *window) {
        return window->objectName() == u"TessaryNotice"_s && window->isVisible()
            && window->findChild<QLabel *>()->text() == text;
    });
}
} // namespace

class TestStatusItem : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void quickZipWindowFrame_data();
    void quickZipWindowFrame();
    void padPlace_data();
    void padPlace();

    void aHoldShowsTheWindowUntilEveryButtonIsUp();
    void onlyFilesCountInADrop();

    void policiesInTheMenu_data();
    void policiesInTheMenu();
    void aesIsAQuickZipPasswordChoice();
    void fileManagerMenusFollowTheDestinations();
    void copiedFilesOpenTheCustomZipWindow_data();
    void copiedFilesOpenTheCustomZipWindow();
    void copiedFilesByKeyboard_data();
    void copiedFilesByKeyboard();
    void whatCannotBeOpenedIsExplained_data();
    void whatCannotBeOpenedIsExplained();
    void presetPolicies_data();
    void presetPolicies();
    void quitAsksFirst_data();
    void quitAsksFirst();
    void firstLaunchStepsAreTakenOnce();

    void theAddMenuOffersWhatMayBeAdded_data();
    void theAddMenuOffersWhatMayBeAdded();
    void aDropOnTheAddTileAddsAFolderAndZipsToIt();
    void aClickOnTheAddTileConfiguresTheNewDestination();
    void theDestinationsWindow();
    void theIntroductionGoesUnderItsOwnButtons_data();
    void theIntroductionGoesUnderItsOwnButtons();

private:
    QMenu *menu() const { return m_controller->statusItem()->menu(); }
    DropPad *pad() const { return m_controller->statusItem()->pad(); }
    QMenu *addMenu() const { return m_controller->addDestinationMenu()->popUpMenu(); }
    /// The item of the menu (the status menu when none is given) with the title.
    QAction *item(const QString &title, const QMenu *in = nullptr) const
    {
        const QList<QAction *> items = (in != nullptr ? in : menu())->actions();
        const auto found = std::ranges::find(items, title, &QAction::text);
        return found != items.cend() ? *found : nullptr;
    }
    /// The titles of the menu's items that pass the test.
    static QStringList titles(const QMenu *menu, bool (*passes)(const QAction *));
    QStringList lastDestinationNames(int count) const;
    /// Opens and closes the status menu, as a user looking at it.
    void openMenu() const
    {
        menu()->popup(QPoint(0, 0));
        menu()->hide();
    }
    /// Sends the drag event to the pad; the action it took: never a move (the source would delete
    /// the files), no action when it refused the drag.
    Qt::DropAction sendDrag(QEvent::Type type, const QMimeData &data) const;

    std::unique_ptr<TemporaryHome> m_home;
    std::unique_ptr<Tessary> m_controller;
    Qt::MouseButtons m_buttons = Qt::NoButton;
};

void TestStatusItem::init()
{
    UtilitiesWindows::setNonInteractive(false);
    m_home = std::make_unique<TemporaryHome>();
    Keychain::deletePasswordForService(u"Tessary"_s, u"Tessary"_s);
    m_controller = std::make_unique<Tessary>();
    m_controller->setupStatusItem();
    m_controller->quickZipFlow()->setButtonsHeld([this] { return m_buttons; });
    m_controller->destinationList()->load();
}

void TestStatusItem::cleanup()
{
    m_controller.reset();
    m_home.reset();
}

void TestStatusItem::firstLaunchStepsAreTakenOnce()
{
    // The entry cannot be written (a file stands where its folder goes): the user hears of it,
    // and the next start tries again.
    const QString folder = QFileInfo(AutostartEntry::path()).path();
    QVERIFY(writeFile(folder, "in the way"));
    ModalDriver driver;
    driver.answerMessageBox();
    m_controller->launcher()->performFirstLaunchSetup();
    QTRY_COMPARE(driver.messages.size(), 1);
    QVERIFY2(
        driver.messages.first().startsWith(u"Not Started with Your Session|"_s), qPrintable(driver.messages.first()));
    QVERIFY(!Settings().loginItemInstallComplete());
    QVERIFY(QFile::remove(folder));
    m_controller->launcher()->performFirstLaunchSetup();
    QVERIFY(readFile(AutostartEntry::path()).contains(QFile::encodeName(QCoreApplication::applicationFilePath())));
    const Settings stored;
    QVERIFY(stored.initialLaunchDone());

    // The user takes Tessary out of the programs that start with the session: it stays out.
    QVERIFY(QFile::remove(AutostartEntry::path()));
    m_controller.reset();
    m_controller = std::make_unique<Tessary>();
    m_controller->launcher()->performFirstLaunchSetup();
    QVERIFY(!QFileInfo::exists(AutostartEntry::path()));
}

QStringList TestStatusItem::titles(const QMenu *menu, bool (*passes)(const QAction *))
{
    QStringList titles;
    const QList<QAction *> items = menu->actions();
    for (const QAction *action : items)
        if (passes(action))
            titles << action->text();
    return titles;
}

QStringList TestStatusItem::lastDestinationNames(int count) const
{
    QStringList names;
    for (const DestinationPointer &destination : m_controller->destinationList()->destinations().last(count))
        names << destination->name();
    return names;
}

void TestStatusItem::theAddMenuOffersWhatMayBeAdded_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<QStringList>("once");
    QTest::newRow("the default set") << QString() << QStringList {u"Dropbox"_s, u"iCloud Drive..."_s};
    QTest::newRow("Alongside Source deleted")
        << u"delete"_s << QStringList {u"Alongside Source"_s, u"Dropbox"_s, u"iCloud Drive..."_s};
    QTest::newRow("every once-only kind there") << u"add"_s << QStringList();
    // Named after the Linux service it goes through, not another platform's.
    QTest::newRow("nearby sharing deleted")
        << u"delete nearby"_s << QStringList {u"Dropbox"_s, u"iCloud Drive..."_s, u"Nearby Device (KDE Connect)..."_s};
}

void TestStatusItem::theAddMenuOffersWhatMayBeAdded()
{
    QFETCH(QString, change);
    QFETCH(QStringList, once);
    DestinationListModel &list = *m_controller->destinationList();
    if (change.startsWith(u"delete"_s)) // the first, Alongside Source, or the last before the add tile
        list.remove(list.destinations().at(change == u"delete"_s ? 0 : list.destinations().size() - 2).get());
    if (change == u"add"_s) {
        list.add(std::make_shared<DestinationDropbox>(u"Dropbox"_s));
        list.add(std::make_shared<DestinationICloud>(u"iCloud Drive"_s));
    }
    const QStringList always {
        u"Folder..."_s, u"Attach to Email..."_s, u"Upload to FTP..."_s, u"Send via Messages..."_s};
    m_controller->addDestinationMenu()->showPopUpMenuWithURLsToZip({}, false);
    QCOMPARE(titles(addMenu(), [](const QAction *action) { return action->isEnabled() && !action->isSeparator(); }),
        once + always);

    // The kinds that may come again do, each just before the add tile.
    for (int i = 0; i < 2; ++i) {
        m_controller->addDestinationMenu()->showPopUpMenuWithURLsToZip({}, false);
        item(u"Send via Messages..."_s, addMenu())->trigger();
    }
    QTRY_COMPARE(lastDestinationNames(3),
        (QStringList {u"Send via Messages"_s, u"Send via Messages"_s, u"Add New Destination"_s}));
}

void TestStatusItem::aDropOnTheAddTileAddsAFolderAndZipsToIt()
{
    QVERIFY(writeFile(m_home->filePath(u"work/plan.txt"_s), "the plan"));
    const QString folder = m_home->filePath(u"Projects.old"_s);
    QVERIFY(QDir().mkpath(folder));
    Q_EMIT m_controller->quickZipFlow()->quickZipWindow()->destinationGrid()->filesDropped(
        m_controller->destinationList()->destinations().last(),
        {QUrl::fromLocalFile(m_home->filePath(u"work/plan.txt"_s))});
    QTRY_VERIFY(addMenu() != nullptr);
    // The folder chooser comes once the menu has finished with the click.
    QAction *folderItem = item(u"Folder..."_s, addMenu());
    bool menuDone = false;
    connect(folderItem, &QAction::triggered, this, [&menuDone] { menuDone = true; });
    bool chooserAfterMenu = false;
    ModalDriver driver;
    driver.then([folder, &menuDone, &chooserAfterMenu](QWidget *panel) {
        chooserAfterMenu = menuDone;
        ModalDriver::type(panel, "fileNameEdit", folder);
        ModalDriver::press(panel, Qt::Key_Return);
    });
    folderItem->trigger();
    QTRY_COMPARE(
        lastDestinationNames(2), (QStringList {u"Projects"_s, u"Add New Destination"_s})); // named after the folder
    QVERIFY(chooserAfterMenu);
    QTRY_COMPARE_WITH_TIMEOUT(
        ArchiveReader::listEntries(folder + u"/Tessary Archive.zip"_s), QStringList {u"plan.txt"_s}, 10000);
    QVERIFY(DestinationStore(m_controller->destinationList()->storePath()).load().size()
        == m_controller->destinationList()->destinations().size());
}

void TestStatusItem::aClickOnTheAddTileConfiguresTheNewDestination()
{
    m_controller->destinationList()->destinations().last()->handleClickAction();
    QTRY_VERIFY(addMenu() != nullptr);
    QElapsedTimer clock;
    qint64 dialogAfterMs = -1;
    ModalDriver driver;
    driver.then([&](QWidget *dialog) {
        dialogAfterMs = clock.elapsed();
        QVERIFY(dialog->findChild<QLineEdit *>(u"serverAddressTextField"_s) != nullptr); // the FTP dialog
        ModalDriver::press(dialog, Qt::Key_Escape);
    });
    clock.start();
    item(u"Upload to FTP..."_s, addMenu())->trigger();
    QTRY_VERIFY(dialogAfterMs >= 0);
    QVERIFY2(dialogAfterMs >= 400 && dialogAfterMs < 2000, qPrintable(QString::number(dialogAfterMs)));
}

void TestStatusItem::theDestinationsWindow()
{
    // Where it opens, and again where it was left: TestDesktopDrags, with a window manager.
    m_controller->configureDestinationsSelected();
    DestinationsDialog *dialog = m_controller->destinationsConfigureDialog();
    QWidget *window = dialog->window();
    QCOMPARE(window->size(), dialog->destinationGrid()->size());
    QCOMPARE(window->windowTitle(), u"Destinations"_s);

    // Additions that need a new row make the window grow.
    const int height = window->height();
    for (int i = 0; i < 4; ++i)
        m_controller->destinationList()->add(std::make_shared<DestinationDropbox>(u"Another"_s));
    QTRY_VERIFY(window->height() > height);
    QCOMPARE(window->size(), dialog->destinationGrid()->size());
    // The quick-zip grid has the same shape for the same list.
    m_controller->quickZipFlow()->showQuickZipWindow();
    QCOMPARE(m_controller->quickZipFlow()->quickZipWindow()->destinationGrid()->columnCount(),
        dialog->destinationGrid()->columnCount());
    QCOMPARE(m_controller->quickZipFlow()->quickZipWindow()->destinationGrid()->rowCount(),
        dialog->destinationGrid()->rowCount());

    // Opened again, the old window goes; closed, the controller lets it go.
    const QPointer<DestinationsDialog> first(dialog);
    m_controller->configureDestinationsSelected();
    QTRY_VERIFY(first.isNull());
    QVERIFY(m_controller->destinationsConfigureDialog() != nullptr);
    m_controller->destinationsConfigureDialog()->window()->close();
    QTRY_VERIFY(m_controller->destinationsConfigureDialog() == nullptr);
}

void TestStatusItem::theIntroductionGoesUnderItsOwnButtons_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("reminded");
    QTest::newRow("paged to Done") << u"nextButton"_s << false;
    QTest::newRow("skipped") << u"skipButton"_s << true;
}

void TestStatusItem::theIntroductionGoesUnderItsOwnButtons()
{
    QFETCH(QString, button);
    QFETCH(bool, reminded);
    // The window is let go from inside the click of its own button; the click ends first.
    m_controller->launcher()->showIntroduction(true);
    const QPointer<IntroductionDialog> intro = m_controller->launcher()->introductionWindow();
    QWidget *window = intro->window();
    const auto press
        = [window](const QString &name) { QTest::mouseClick(window->findChild<QPushButton *>(name), Qt::LeftButton); };
    for (int i = 0; i < 5; ++i)
        press(u"nextButton"_s);
    ModalDriver driver;
    driver.answerMessageBox();
    press(button);
    QTRY_VERIFY(intro.isNull());
    QVERIFY(m_controller->launcher()->introductionWindow() == nullptr);
    QTest::qWait(300); // past the reminder's 0.1 s
    QCOMPARE(driver.messages.size(), reminded ? 1 : 0);
    if (reminded)
        QVERIFY(driver.messages.first().endsWith(IntroductionDialog::SkipReminderMessage));
}

Qt::DropAction TestStatusItem::sendDrag(QEvent::Type type, const QMimeData &data) const
{
    if (type == QEvent::DragLeave) {
        QDragLeaveEvent leave;
        QApplication::sendEvent(pad(), &leave);
        return Qt::IgnoreAction;
    }
    const QPoint middle(DropPad::Side / 2, DropPad::Side / 2);
    const Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction;
    const std::unique_ptr<QDropEvent> event = type == QEvent::DragEnter
        ? std::make_unique<QDragEnterEvent>(middle, offered, &data, Qt::LeftButton, Qt::NoModifier)
        : std::make_unique<QDropEvent>(QPointF(middle), offered, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(pad(), event.get());
    return type == QEvent::Drop || event->isAccepted() ? event->dropAction() : Qt::IgnoreAction;
}

void TestStatusItem::quickZipWindowFrame_data()
{
    QTest::addColumn<QRect>("pad");
    QTest::addColumn<QSize>("window");
    QTest::addColumn<QRect>("expected");
    QTest::newRow("top-right corner: below, shifted left")
        << QRect(QPoint(1240, 0), kPad) << kGrid << QRect(QPoint(960, 40), kGrid);
    QTest::newRow("middle: centred below") << QRect(QPoint(600, 300), kPad) << kGrid << QRect(QPoint(460, 340), kGrid);
    QTest::newRow("bottom edge: above") << QRect(QPoint(600, 736), kPad) << kGrid << QRect(QPoint(460, 554), kGrid);
    QTest::newRow("exactly room below") << QRect(QPoint(600, 554), kPad) << kGrid << QRect(QPoint(460, 594), kGrid);
    QTest::newRow("wider than the screen: from its left edge")
        << QRect(QPoint(600, 0), kPad) << QSize(1600, 182) << QRect(QPoint(0, 40), QSize(1600, 182));
    QTest::newRow("no room above or below: kept on the screen")
        << QRect(QPoint(600, 300), kPad) << QSize(320, 700) << QRect(QPoint(460, 76), QSize(320, 700));
    QTest::newRow("left corner of a second screen on the left: below, shifted right")
        << QRect(QPoint(-1920, 0), kPad) << kGrid << QRect(QPoint(-1920, 40), kGrid);
}

void TestStatusItem::quickZipWindowFrame()
{
    QFETCH(QRect, pad);
    QFETCH(QSize, window);
    QFETCH(QRect, expected);
    const QRect area = pad.x() < 0 ? QRect(-1920, 0, 1920, 1080) : kScreen;
    QCOMPARE(StatusItemPlacement::quickZipWindowFrame(pad, window, area), expected);
}

void TestStatusItem::padPlace_data()
{
    const QRect left(-1920, 0, 1920, 1080);
    QTest::addColumn<QPoint>("place");
    QTest::addColumn<QList<QRect>>("areas");
    QTest::addColumn<QPoint>("expected");
    QTest::newRow("on the screen: kept") << QPoint(300, 200) << QList {kScreen} << QPoint(300, 200);
    QTest::newRow("half below the panel: brought back") << QPoint(10, 760) << QList {kScreen} << QPoint(10, 736);
    QTest::newRow("on the second screen: kept") << QPoint(-500, 900) << QList {left, kScreen} << QPoint(-500, 900);
    QTest::newRow("second screen unplugged: first place") << QPoint(-500, 900) << QList {kScreen} << QPoint(1240, 0);
    QTest::newRow("across two screens: onto the one with most of it")
        << QPoint(-30, 100) << QList {kScreen, left} << QPoint(-40, 100);
}

void TestStatusItem::padPlace()
{
    QFETCH(QPoint, place);
    QFETCH(QList<QRect>, areas);
    QFETCH(QPoint, expected);
    QCOMPARE(StatusItemPlacement::padPlace(place, kPad, areas, kScreen), expected);
}

void TestStatusItem::aHoldShowsTheWindowUntilEveryButtonIsUp()
{
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(m_home->filePath(u"notes.txt"_s))});
    m_buttons = Qt::LeftButton;
    QCOMPARE(sendDrag(QEvent::DragEnter, files), Qt::CopyAction);
    QTRY_VERIFY(m_controller->quickZipFlow()->quickZipWindow()->isVisible());
    QVERIFY(!m_controller->quickZipFlow()->isShowQuickZipWindowTimerActive());
    // A second drag over the pad while the window is up adds no window and no timer.
    sendDrag(QEvent::DragLeave, files);
    QCOMPARE(sendDrag(QEvent::DragEnter, files), Qt::CopyAction);
    QTest::qWait(700);
    QVERIFY(!m_controller->quickZipFlow()->isShowQuickZipWindowTimerActive());
    sendDrag(QEvent::DragLeave, files);
    QVERIFY(m_controller->quickZipFlow()->quickZipWindow()->isVisible()); // leaving the pad keeps it
    const QList<QWidget *> windows = QApplication::topLevelWidgets();
    QCOMPARE(std::count_if(windows.cbegin(), windows.cend(),
                 [](const QWidget *window) { return qobject_cast<const QuickZipWindow *>(window) != nullptr; }),
        1);

    QElapsedTimer released;
    released.start();
    m_buttons = Qt::NoButton;
    QTRY_VERIFY(!m_controller->quickZipFlow()->quickZipWindowShown());
    QVERIFY(released.elapsed() >= QuickZipWindow::FadeOutMs);
    QVERIFY(!m_controller->quickZipFlow()->quickZipWindow()->isVisible());
    QCOMPARE(m_controller->quickZipFlow()->quickZipWindow()->windowOpacity(), 1.0);
    QVERIFY(!m_controller->quickZipFlow()->isHideQuickZipWindowTimerActive());
    QVERIFY(!m_controller->quickZipFlow()->isShowQuickZipWindowTimerActive());
}

void TestStatusItem::onlyFilesCountInADrop()
{
    QMimeData link;
    link.setUrls({QUrl(u"https://example.org/page"_s), QUrl(u"mailto:anna@example.org"_s)});
    // Refused while dragged: the pointer says it cannot be dropped, and no grid comes.
    QCOMPARE(sendDrag(QEvent::DragEnter, link), Qt::IgnoreAction);
    QVERIFY(!pad()->isHilited());
    QVERIFY(!m_controller->quickZipFlow()->isShowQuickZipWindowTimerActive());
    Q_EMIT pad()->dropped(link.urls()); // one that gets through anyway
    QTRY_VERIFY(noticeShown(u"No Files to Zip"_s)); // the web link and the address give nothing to zip
    QCOMPARE(ArchiveNaming::getsFileURLSFromDragOperation(
                 {QUrl(u"https://example.org/a.zip"_s), QUrl::fromLocalFile(u"/tmp/a b.txt"_s), QUrl(u"file:"_s)}),
        QList {QUrl::fromLocalFile(u"/tmp/a b.txt"_s)});
}

void TestStatusItem::policiesInTheMenu_data()
{
    QTest::addColumn<QString>("title"); // chosen with both policies on their presets; none: an empty store
    QTest::addColumn<int>("nameType");
    QTest::addColumn<int>("passwordType");
    QTest::addColumn<QStringList>("checked");
    const QString preset = u"Use Preset Password"_s;
    QTest::newRow("empty store") << QString() << 0 << 0 << QStringList {u"Use \"Tessary Archive\""_s, u"No Password"_s};
    QTest::newRow("Tessary Archive") << u"Use \"Tessary Archive\""_s << 0 << 2
                                     << QStringList {u"Use \"Tessary Archive\""_s, preset};
    QTest::newRow("derive") << u"Derive Name from Source"_s << 1 << 2
                            << QStringList {u"Derive Name from Source"_s, preset};
    QTest::newRow("ask for name") << u"Ask For Name"_s << 2 << 2 << QStringList {u"Ask For Name"_s, preset};
    QTest::newRow("no password") << u"No Password"_s << 3 << 0 << QStringList {u"Use Preset Name"_s, u"No Password"_s};
    QTest::newRow("ask for password") << u"Ask For Password"_s << 3 << 1
                                      << QStringList {u"Use Preset Name"_s, u"Ask For Password"_s};
}

void TestStatusItem::policiesInTheMenu()
{
    QFETCH(QString, title);
    QFETCH(int, nameType);
    QFETCH(int, passwordType);
    QFETCH(QStringList, checked);
    if (!title.isNull()) {
        m_controller->settings()->setQuickZipNameType(ZipNameTypePreset);
        m_controller->settings()->setQuickZipPasswordType(ZipPasswordTypePreset);
        item(title)->trigger();
    }
    // An item's command runs once the menu has finished with the click; it is saved at once.
    QTRY_COMPARE(std::pair(Settings().quickZipNameType(), Settings().quickZipPasswordType()),
        std::pair(qint32(nameType), qint32(passwordType)));
    // The marks are the settings' as the menu opens (the file managers' menus are on by default).
    openMenu();
    QCOMPARE(titles(menu(), [](const QAction *action) { return action->isChecked(); }),
        checked + QStringList {u"File Manager Menus"_s});
}

void TestStatusItem::aesIsAQuickZipPasswordChoice()
{
    openMenu();
    QVERIFY(!item(u"Use AES-256 Encryption"_s)->isChecked());
    // Under the password policies, and a choice of its own beside them.
    const QStringList all = titles(menu(), [](const QAction *) { return true; });
    QCOMPARE(all.indexOf(u"Use AES-256 Encryption"_s), all.indexOf(u"Use Preset Password"_s) + 1);
    for (const ZipEncryption expected : {ZipEncryptionAES256, ZipEncryptionCompatible}) {
        item(u"Use AES-256 Encryption"_s)->trigger();
        QTRY_COMPARE(Settings().passwordEncryption(), expected);
        QCOMPARE(m_controller->settings()->quickZipPasswordType(), qint32(ZipPasswordTypeNone));
        openMenu();
        QCOMPARE(item(u"Use AES-256 Encryption"_s)->isChecked(), expected == ZipEncryptionAES256);
    }
}

void TestStatusItem::fileManagerMenusFollowTheDestinations()
{
    // The Destinations' scripts in Nautilus's submenu: the tiles' names, the add tile's none.
    const QString send = FileManagerMenus::nautilusScriptsPath() + u"/Send with Tessary"_s;
    const auto scripts = [&send] { return QDir(send).entryList(QDir::Files, QDir::Name); };
    const auto tileNames = [this] {
        QStringList names;
        for (const DestinationPointer &destination : m_controller->destinationList()->destinations())
            if (destination->type() != Destination::DestinationTypeAddDestination)
                names << destination->name();
        names.sort();
        return names;
    };
    QTRY_COMPARE(scripts(), tileNames());
    QVERIFY(!tileNames().isEmpty());

    Destination &renamed = *m_controller->destinationList()->destinations().first();
    renamed.setName(u"Renamed"_s);
    renamed.noteChange();
    QTRY_VERIFY(scripts().contains(u"Renamed"_s));
    QCOMPARE(scripts(), tileNames());
    QVERIFY(m_controller->destinationList()->remove(&renamed));
    QTRY_VERIFY(!scripts().contains(u"Renamed"_s));

    // Turned off, they go; turned on, they come back. The setting is kept.
    openMenu();
    QVERIFY(item(u"File Manager Menus"_s)->isChecked());
    item(u"File Manager Menus"_s)->trigger();
    QTRY_VERIFY(!QFile::exists(FileManagerMenus::dolphinSendPath()));
    QVERIFY(!QDir(send).exists());
    QVERIFY(!Settings().fileManagerMenus());
    item(u"File Manager Menus"_s)->trigger();
    QTRY_COMPARE(scripts(), tileNames());
    QVERIFY(Settings().fileManagerMenus());
}

void TestStatusItem::copiedFilesOpenTheCustomZipWindow_data()
{
    QTest::addColumn<bool>("byKeyboard"); // Ctrl+V while the menu is open, or the item
    QTest::newRow("the item") << false;
    QTest::newRow("Ctrl+V in the menu") << true;
}

void TestStatusItem::copiedFilesOpenTheCustomZipWindow()
{
    QFETCH(bool, byKeyboard);
    QVERIFY(writeFile(m_home->filePath(u"items/a b.txt"_s), "a"));
    // Nothing to zip: the item waits for files.
    QGuiApplication::clipboard()->setText(u"just words"_s);
    openMenu();
    QVERIFY(!item(u"Zip Copied Files…"_s)->isEnabled());
    QVERIFY(!item(u"Zip Copied Files…"_s)->isCheckable()); // a command, not a choice

    // As GNOME's file managers copy them.
    auto *copied = new QMimeData;
    copied->setData(u"x-special/gnome-copied-files"_s,
        "copy\n" + QUrl::fromLocalFile(m_home->filePath(u"items/a b.txt"_s)).toEncoded() + "\n");
    QGuiApplication::clipboard()->setMimeData(copied);
    openMenu();
    QVERIFY(item(u"Zip Copied Files…"_s)->isEnabled());
    QString asked;
    ModalDriver driver;
    driver.then([&asked](QWidget *dialog) {
        asked = QString::fromLatin1(dialog->metaObject()->className()) + u'|'
            + dialog->findChild<QLineEdit *>(u"nameTextField"_s)->text();
        DestinationGrid *grid = static_cast<CustomZipDialog *>(dialog)->destinationGrid();
        QTRY_VERIFY(grid->tiles().size() > 1); // the tiles come just after the window
        QTest::mouseClick(grid->tiles().at(1), Qt::LeftButton);
        ModalDriver::type(dialog, "nameTextField", u"Custom"_s);
        ModalDriver::press(dialog, Qt::Key_Return);
    });
    if (byKeyboard) {
        menu()->popup(QPoint(0, 0));
        QTest::keyClick(menu(), Qt::Key_V, Qt::ControlModifier);
    } else {
        item(u"Zip Copied Files…"_s)->trigger();
    }
    QTRY_COMPARE(asked, u"CustomZipDialog|Tessary Archive"_s);
    QVERIFY(!menu()->isVisible());
    // The whole request, as the window was filled in: the Desktop chosen is remembered.
    const QString archive = m_home->desktopPath() + u"/Custom.zip"_s;
    QTRY_COMPARE_WITH_TIMEOUT(m_controller->zipRequests()->lastArchivePath(), archive, 20000);
    QCOMPARE(ArchiveReader::listEntries(archive), QStringList {u"a b.txt"_s});
    QCOMPARE(m_controller->settings()->lastUsedAskForDestinationType(), int(Destination::DestinationTypeDesktop));
}

void TestStatusItem::copiedFilesByKeyboard_data()
{
    QTest::addColumn<QString>("gesture"); // keys by name, "click N" on tile N, or "click elsewhere"
    QTest::addColumn<int>("destination"); // where the archive goes; -1 for nowhere
    // The grid is three by two: beside the items, Desktop, e-mail; Backups, message, nearby.
    QTest::newRow("Return: the tile in focus") << u"Return"_s << 0;
    QTest::newRow("arrows from the tile in focus") << u"Down Return"_s << 3;
    QTest::newRow("arrows in reading order, stopping at the ends")
        << u"Right Right Right Right Right Right Left Up Enter"_s << 1;
    QTest::newRow("a click chooses") << u"click 1"_s << 1;
    QTest::newRow("Escape closes") << u"Down Escape"_s << -1;
    QTest::newRow("a click elsewhere closes") << u"click elsewhere"_s << -1;
    QTest::newRow("nothing copied: no grid, a notice") << u"nothing copied"_s << -1;
}

void TestStatusItem::copiedFilesByKeyboard()
{
    QFETCH(QString, gesture);
    QFETCH(int, destination);
    QVERIFY(writeFile(m_home->filePath(u"items/notes.txt"_s), "words"));
    if (gesture == u"nothing copied"_s) {
        QGuiApplication::clipboard()->setText(m_home->filePath(u"items/notes.txt"_s));
        m_controller->quickZipCopiedFiles();
        QVERIFY(m_controller->quickZipFlow()->keyboardWindow() == nullptr);
        QTRY_VERIFY(noticeShown(u"No Files to Zip"_s));
        return;
    }
    auto *copied = new QMimeData;
    copied->setUrls({QUrl::fromLocalFile(m_home->filePath(u"items/notes.txt"_s))});
    QGuiApplication::clipboard()->setMimeData(copied);

    m_controller->quickZipCopiedFiles();
    QuickZipWindow *window = m_controller->quickZipFlow()->keyboardWindow();
    QVERIFY(window != nullptr);
    QTRY_VERIFY(window->isVisible());
    // Under the pad, with a tile for every Destination but the add tile, and the keyboard.
    QCOMPARE(window->geometry(),
        StatusItemPlacement::quickZipWindowFrame(
            pad()->frameGeometry(), window->destinationGrid()->size(), pad()->screen()->availableGeometry()));
    DestinationGrid *grid = window->destinationGrid();
    QTRY_COMPARE(grid->tiles().size(), 6);
    QCOMPARE(QApplication::focusWidget(), grid);
    QVERIFY(grid->tiles().at(0)->showsFocus());

    const QStringList steps = gesture.split(u' ');
    if (steps.first() == u"click"_s) {
        if (steps.at(1) == u"elsewhere"_s)
            QTest::mouseClick(pad()->windowHandle(), Qt::LeftButton, {}, QPoint(5, 5));
        else
            QTest::mouseClick(grid->tiles().at(steps.at(1).toInt()), Qt::LeftButton);
    } else {
        for (const QString &key : steps)
            QTest::keyClick(window->windowHandle(), static_cast<Qt::Key>(QKeySequence::fromString(key)[0].key()));
    }
    QTRY_VERIFY(!window->isVisible());
    if (destination < 0) {
        QTest::qWait(300);
        QCOMPARE(m_controller->zipRequests()->lastArchivePath(), QString());
        return;
    }
    const QString folder = destination == 0
        ? m_home->filePath(u"items"_s)
        : m_controller->destinationList()->destinations().at(destination)->rootFolderPath();
    QTRY_COMPARE_WITH_TIMEOUT(
        m_controller->zipRequests()->lastArchivePath(), folder + u"/Tessary Archive.zip"_s, 20000);
    QCOMPARE(ArchiveReader::listEntries(folder + u"/Tessary Archive.zip"_s), QStringList {u"notes.txt"_s});

    // Shown again, the grid starts afresh: nothing chosen, the first tile in focus.
    const QList<DestinationTile *> before = grid->tiles();
    m_controller->quickZipCopiedFiles();
    QTRY_VERIFY(window->isVisible());
    QTRY_VERIFY(grid->tiles().size() == 6 && grid->tiles().first() != before.first());
    QVERIFY(grid->tiles().first()->showsFocus());
    QCOMPARE(grid->hilitedTile(), nullptr);
    QCOMPARE(grid->caption(), QString());
    QTest::keyClick(window->windowHandle(), Qt::Key_Escape);
    QTRY_VERIFY(!window->isVisible());
}

void TestStatusItem::whatCannotBeOpenedIsExplained_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("message");
    // Here no file manager answers and no program is set to open folders.
    QTest::newRow("the last archive")
        << u"Reveal Last Tessary Archive..."_s
        << u"Cannot Show the Archive|Tessary could not show the archive \"ARCHIVE\": no file "
           "manager answered, and its folder could not be opened (no program is set to "
           "open it)."_s;
    // The help is the installed one, never a file of the source tree.
    QTest::newRow("the help")
        << u"Support..."_s
        << u"Help Not Installed|Tessary's help is not installed: it belongs at \"HELP\". It comes "
           "with Tessary's package, and with \"make install\"."_s;
}

void TestStatusItem::whatCannotBeOpenedIsExplained()
{
    QFETCH(QString, title);
    QFETCH(QString, message);
    QVERIFY(writeFile(m_home->filePath(u"items/notes.txt"_s), "words"));
    const auto enabled = [this, &title] {
        openMenu();
        return item(title)->isEnabled();
    };
    const bool reveal = title.startsWith(u"Reveal"_s); // enabled while the last archive exists
    QCOMPARE(enabled(), !reveal);
    bool ended = false;
    m_controller->zipRequests()->zip({QUrl::fromLocalFile(m_home->filePath(u"items/notes.txt"_s))},
        m_controller->destinationList()->destinations().at(3), u"Notes"_s, QString(), ZipEncryptionCompatible,
        [&ended](ZipRequests::Outcome, const QString &, const Error &) { ended = true; });
    QTRY_VERIFY_WITH_TIMEOUT(ended, 20000);
    const QString help = QDir::cleanPath(QCoreApplication::applicationDirPath() + u"/../share/doc/tessary/README.md"_s);
    QVERIFY(!QFileInfo::exists(help));
    ModalDriver driver;
    driver.answerMessageBox();
    QVERIFY(enabled());
    item(title)->trigger();
    QTRY_COMPARE_WITH_TIMEOUT(driver.messages.size(), 1, 10000);
    QCOMPARE(driver.messages.first(),
        message.replace(u"ARCHIVE"_s, m_controller->zipRequests()->lastArchivePath()).replace(u"HELP"_s, help));
    QVERIFY(QFile::remove(m_controller->zipRequests()->lastArchivePath()));
    QCOMPARE(enabled(), !reveal);
}

void TestStatusItem::presetPolicies_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<bool>("hasPreset");
    QTest::addColumn<QString>("typed"); // null: the dialog is cancelled; none is expected with a preset
    QTest::addColumn<bool>("refused"); // the keyring refuses to keep what was typed
    QTest::addColumn<bool>("policyChosen");
    const QString name = u"Use Preset Name"_s;
    const QString password = u"Use Preset Password"_s;
    QTest::newRow("name: none set, cancelled") << name << false << QString() << false << false;
    QTest::newRow("name: none set, typed") << name << false << u"Weekly"_s << false << true;
    QTest::newRow("name: set") << name << true << QString() << false << true;
    QTest::newRow("password: none set, cancelled") << password << false << QString() << false << false;
    QTest::newRow("password: none set, typed") << password << false << u"secret"_s << false << true;
    QTest::newRow("password: the keyring refuses it") << password << false << u"secret"_s << true << false;
    QTest::newRow("password: set, never asked for") << password << true << QString() << false << true;
}

void TestStatusItem::presetPolicies()
{
    QFETCH(QString, title);
    QFETCH(bool, hasPreset);
    QFETCH(QString, typed);
    QFETCH(bool, refused);
    QFETCH(bool, policyChosen);
    const bool forName = title.contains(u"Name"_s);
    Settings &settings = *m_controller->settings();
    if (hasPreset) {
        settings.setQuickZipName(u"Weekly"_s);
        QVERIFY(setPresetPassword(u"secret"_s));
        settings.setPasswordRequiredToChangePassword(true);
    }
    std::optional<RefusingKeychain> refusing;
    if (refused)
        refusing.emplace();
    ModalDriver driver;
    driver.then([typed, forName](QWidget *modal) {
        if (!typed.isNull()) {
            ModalDriver::type(modal, forName ? "nameTextField" : "passwordTextField", typed);
            if (!forName)
                ModalDriver::type(modal, "confirmTextField", typed);
        }
        ModalDriver::press(modal, typed.isNull() ? Qt::Key_Escape : Qt::Key_Return);
    });
    if (refused)
        driver.answerMessageBox();
    item(title)->trigger();
    // The keychain answers off the GUI thread: the outcome comes a little later.
    QTRY_COMPARE(driver.remainingSteps(), hasPreset ? 1 : 0); // a dialog came only without a preset
    const auto chosen = [&] { return forName ? settings.quickZipNameType() : settings.quickZipPasswordType(); };
    QTRY_COMPARE(chosen(), policyChosen ? (forName ? qint32(ZipNameTypePreset) : qint32(ZipPasswordTypePreset)) : 0);
    QTest::qWait(100);
    QCOMPARE(driver.remainingSteps(), hasPreset ? 1 : 0);
    QCOMPARE(driver.messages.size(), refused ? 1 : 0);
    if (refused)
        QVERIFY2(
            driver.messages.first().startsWith(u"Preset Password Not Saved|"_s), qPrintable(driver.messages.first()));
    if (policyChosen)
        QCOMPARE(forName ? settings.quickZipName() : presetPassword(), forName ? u"Weekly"_s : u"secret"_s);
}

void TestStatusItem::quitAsksFirst_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<int>("status");
    QTest::newRow("declined") << u"Cancel"_s << 7;
    QTest::newRow("confirmed") << u"Quit"_s << 0;
}

void TestStatusItem::quitAsksFirst()
{
    QFETCH(QString, answer);
    QFETCH(int, status);
    QApplication::setQuitOnLastWindowClosed(false); // as Tessary runs
    ModalDriver driver;
    driver.answerMessageBox(answer);
    QTimer::singleShot(0, item(u"Quit..."_s), &QAction::trigger);
    // Still running after the answer, the application ends only by this timer's status.
    QTimer::singleShot(3000, qApp, [] { QCoreApplication::exit(7); });
    QCOMPARE(QApplication::exec(), status);
    QCOMPARE(driver.messages, QStringList {u"Quit Tessary|Are you sure you wish to Quit Tessary?"_s});
}

QTEST_MAIN(TestStatusItem)
#include "TestStatusItem.moc"
