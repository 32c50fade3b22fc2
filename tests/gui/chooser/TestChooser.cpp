#include "ModalDriver.h"
#include "TemporaryHome.h"
#include "TestFiles.h"

#include "core/destinations/DestinationAddDestination.h"
#include "core/destinations/DestinationAirDrop.h"
#include "core/destinations/DestinationAlongsideSource.h"
#include "core/destinations/DestinationDesktop.h"
#include "core/destinations/DestinationDropbox.h"
#include "core/destinations/DestinationEmail.h"
#include "core/destinations/DestinationFTP.h"
#include "core/destinations/DestinationFolder.h"
#include "core/destinations/DestinationICloud.h"
#include "core/destinations/DestinationMessages.h"
#include "core/settings/Settings.h"
#include "gui/chooser/DestinationGrid.h"
#include "gui/chooser/DestinationTile.h"
#include "gui/chooser/TileButtons.h"
#include "gui/destinations/DestinationEditor.h"
#include "gui/prompts/CustomZipDialog.h"
#include "gui/prompts/EncryptionChoice.h"
#include "gui/prompts/EnterPasswordDialog.h"
#include "gui/prompts/NameAndPasswordDialog.h"
#include "gui/prompts/NameDialog.h"
#include "gui/prompts/NameEntryDialog.h"
#include "gui/prompts/PasswordDialog.h"
#include "gui/prompts/PresetPasswordDialog.h"
#include "gui/support/ImageManager.h"
#include "gui/support/UtilitiesWindows.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QSignalSpy>
#include <QToolButton>
#include <QtTest>

using namespace Qt::Literals::StringLiterals;

namespace {

// Something is drawn, and the edges are left transparent or drawn: never an empty picture.
bool isDrawn(const QImage &image)
{
    int opaque = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            opaque += qAlpha(image.pixel(x, y)) > 128 ? 1 : 0;
    return opaque > image.width() * image.height() / 20;
}

const QString kNotMatched
    = u"Passwords Not Matched|The passwords do not match.  Please re-type them to ensure they are the same."_s;

template <typename T> T *child(QWidget *modal, const char *name)
{
    return modal->findChild<T *>(QString::fromLatin1(name));
}

// Records what the grid tells and asks its owner.
class Owner final
{
public:
    explicit Owner(DestinationGrid &grid)
    {
        grid.setTakesDrops(true);
        grid.setRemover([this](Destination *destination) {
            removals << destination;
            if (refresh)
                refresh();
            return allowRemoval;
        });
        QObject::connect(&grid, &DestinationGrid::filesDropped,
            [this](const DestinationPointer &destination, const QList<QUrl> &urls) {
                drops << destination.get();
                droppedFiles << urls;
            });
    }

    bool allowRemoval = true;
    QList<Destination *> drops;
    QList<QList<QUrl>> droppedFiles;
    QList<Destination *> removals;
    /// Called on a removal, as an owner that refreshes its grid then.
    std::function<void()> refresh;
};

DestinationList desktops(int count)
{
    DestinationList list;
    for (int i = 0; i < count; ++i)
        list << std::make_shared<DestinationDesktop>(u"Desk %1"_s.arg(i));
    return list;
}

// Drops the items as a file manager does, offering a copy or a move; the action the widget took.
Qt::DropAction drop(QWidget *view, const QList<QUrl> &urls)
{
    QMimeData data;
    data.setUrls(urls);
    const Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction;
    QDragEnterEvent enter(QPoint(5, 5), offered, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(view, &enter);
    QDropEvent dropped(QPointF(5, 5), offered, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(view, &dropped);
    return dropped.isAccepted() ? dropped.dropAction() : Qt::IgnoreAction;
}
} // namespace

class TestChooser : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { UtilitiesWindows::setNonInteractive(false); }

    void columnTable_data();
    void columnTable();
    void dropsReachTheOwner();
    void removal_data();
    void removal();
    void customZipWindowChecks();
    void customZipWindowKeyboardAndDrops();
    void returnInTheGridChoosesAndConfirms_data();
    void returnInTheGridChoosesAndConfirms();
    void askForPasswordChecks();
    void withoutAPersonEveryPromptCancels();
    void everyPictureIsDrawn();
    void theGearMenusDialogs_data();
    void theGearMenusDialogs();

private:
    TemporaryHome m_home; // the windows' settings stay out of the user's home
};

void TestChooser::columnTable_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("requestedColumns");
    QTest::addColumn<int>("columns");
    QTest::addColumn<int>("rows");
    for (const auto &[count, columns, rows] : {std::tuple {0, 3, 0}, {1, 2, 1}, {2, 2, 1}, {3, 3, 1}, {4, 2, 2},
             {5, 3, 2}, {6, 3, 2}, {7, 4, 2}, {9, 3, 3}, {10, 4, 3}})
        QTest::addRow("%d", count) << count << 0 << columns << rows;
    QTest::newRow("7 in 5 columns") << 7 << 5 << 5 << 2;
}

void TestChooser::columnTable()
{
    QFETCH(int, count);
    QFETCH(int, requestedColumns);
    QFETCH(int, columns);
    QFETCH(int, rows);
    DestinationGrid chooser(QSizeF(80, 80));
    chooser.setDestinations(desktops(count), requestedColumns);
    QCOMPARE(chooser.columnCount(), columns);
    QCOMPARE(chooser.rowCount(), rows);
    QCOMPARE(chooser.destinations().size(), columns * rows);
    for (qsizetype i = count; i < chooser.destinations().size(); ++i)
        QCOMPARE(chooser.destinations().at(i)->type(), Destination::DestinationTypeDummy);
    QCOMPARE(chooser.size(), QSize(columns * 80, rows * 80 + 22));
    QTRY_COMPARE(chooser.tiles().size(), columns * rows);
    if (rows > 0) // reading order, no spacing
        QCOMPARE(chooser.tiles().last()->geometry(), QRect((columns - 1) * 80, (rows - 1) * 80, 80, 80));
}

void TestChooser::dropsReachTheOwner()
{
    DestinationGrid chooser(QSizeF(80, 80));
    Owner owner(chooser);
    chooser.setDestinations(desktops(1));
    QTRY_COMPARE(chooser.tiles().size(), 2);
    const QList<QUrl> items {QUrl::fromLocalFile(u"/tmp/a.txt"_s)};

    DestinationTile *tile = chooser.tiles().at(0);
    QSignalSpy hilites(tile, &DestinationTile::hiliteChanged);
    QCOMPARE(drop(tile, items), Qt::CopyAction); // never a move: the source would delete the items
    QCOMPARE(owner.drops, QList<Destination *> {chooser.destinations().at(0).get()});
    QCOMPARE(owner.droppedFiles, QList<QList<QUrl>> {items}); // the drop carries its files
    QCOMPARE(hilites.count(), 2); // on while dragged over, off after the drop
    QCOMPARE(hilites.at(0).at(1).toBool(), true);
    QCOMPARE(hilites.at(1).at(1).toBool(), false);

    DestinationTile *placeholder = chooser.tiles().at(1);
    drop(placeholder, items); // accepted and ignored
    QCOMPARE(owner.drops.size(), 1);
    QVERIFY(!placeholder->hilited());
}

void TestChooser::removal_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<bool>("ownerAllows");
    QTest::addColumn<bool>("ownerRefreshes");
    QTest::addColumn<bool>("removed");
    QTest::newRow("confirmed") << u"Remove"_s << true << false << true;
    QTest::newRow("declined") << u"Cancel"_s << true << false << false;
    QTest::newRow("refused by the owner") << u"Remove"_s << false << false << false;
    // The owner rebuilds the grid while the removed tile shrinks: its view goes from under the
    // animation, which must neither crash nor run on.
    QTest::newRow("the owner refreshes the grid") << u"Remove"_s << true << true << true;
}

void TestChooser::removal()
{
    QFETCH(QString, answer);
    QFETCH(bool, ownerAllows);
    QFETCH(bool, ownerRefreshes);
    QFETCH(bool, removed);
    DestinationGrid chooser(QSizeF(80, 80));
    Owner owner(chooser);
    owner.allowRemoval = ownerAllows;
    const DestinationList six = desktops(6);
    chooser.setDestinations(six);
    QTRY_COMPARE(chooser.tiles().size(), 6);
    DestinationList five = six;
    five.removeAt(2);
    if (ownerRefreshes)
        owner.refresh = [&chooser, five] { chooser.setDestinations(five); };
    // The pointer rests on the third tile, which shows its buttons.
    chooser.setInteractionOptions(DestinationGrid::InteractionHover);
    chooser.show();
    QCursor::setPos(chooser.mapToGlobal(chooser.tiles().at(2)->geometry().center()));
    QTRY_COMPARE(chooser.configurableTile(), chooser.tiles().at(2));

    const QPointer<DestinationTile> view = chooser.tiles().at(2);
    // The question comes once the button has finished with its click, and the tiles and their
    // buttons stay while it is open, wherever the pointer goes: one of them is the button whose
    // click asked it.
    bool clicked = false;
    connect(view->buttons()->deleteButton(), &QToolButton::clicked, this, [&clicked] { clicked = true; });
    bool questionAfterClick = false;
    bool tilesStayed = false;
    QString question;
    ModalDriver driver;
    driver.then([&](QWidget *modal) {
        questionAfterClick = clicked;
        QCursor::setPos(chooser.mapToGlobal(QPoint(-100, -100)));
        QTest::qWait(300);
        tilesStayed = !view.isNull() && view->buttons()->deleteButton() != nullptr;
        auto *box = qobject_cast<QMessageBox *>(modal);
        question = box->text() + u'|' + box->informativeText();
        const QList<QAbstractButton *> buttons = box->buttons();
        for (QAbstractButton *button : buttons)
            if (button->text() == answer)
                button->click();
    });
    view->buttons()->deleteButton()->click();
    QTRY_COMPARE(question, u"Remove Destination?|Are you sure you wish to remove this \"Desk 2\" Destination?"_s);
    QVERIFY(questionAfterClick);
    QVERIFY(tilesStayed);
    QCOMPARE(owner.removals.size(), answer == u"Remove"_s ? 1 : 0);
    if (removed && !ownerRefreshes) // the tile shrinks away first
        QTRY_VERIFY(view && view->iconScale() < 1.0F);
    QTRY_COMPARE(view.isNull(), removed);
    QTest::qWait(400);
    QCOMPARE(chooser.destinations().mid(0, 5), removed ? five : six.mid(0, 5));
    QTRY_COMPARE(chooser.tiles().size(), 6);
    QCOMPARE(chooser.destinations().last()->type(),
        removed ? Destination::DestinationTypeDummy : Destination::DestinationTypeDesktop);
}

void TestChooser::customZipWindowKeyboardAndDrops()
{
    CustomZipDialog window(
        QString(), u"Derived"_s, ZipNameTypeDerived, QString(), ZipEncryptionCompatible, 4, desktops(3), {});
    DestinationGrid *grid = window.destinationGrid();
    QTRY_COMPARE(grid->tiles().size(), 3);
    QCOMPARE(grid->tiles().at(1)->toolTip(), grid->destinations().at(1)->name());
    QCOMPARE(grid->tiles().at(1)->accessibleName(), grid->destinations().at(1)->name());

    // Tab goes name, password, confirmation, the encryption where there is a password, grid: never
    // through the name's pop-up, whose type-ahead would replace the name typed.
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    auto *name = window.findChild<QLineEdit *>(u"nameTextField"_s);
    auto *password = window.findChild<QLineEdit *>(u"passwordTextField"_s);
    for (const QString &typed : {u"pw"_s, QString()}) {
        password->setText(typed);
        QStringList order;
        name->setFocus();
        for (int i = 0; i < (typed.isEmpty() ? 3 : 4); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            order << QApplication::focusWidget()->objectName();
        }
        QStringList expected {u"passwordTextField"_s, u"confirmTextField"_s, QString()};
        if (!typed.isEmpty())
            expected.insert(2, u"encryptionChoice"_s);
        QCOMPARE(order, expected);
    }
    QCOMPARE(QApplication::focusWidget(), grid);
    // The grid marks the tile the keys act on as soon as it has the keyboard.
    QVERIFY(grid->tiles().at(0)->showsFocus());
    QVERIFY(!grid->tiles().at(1)->showsFocus());
    // Space chooses the tile in focus (the arrows are checked with the keyboard grid, TestStatusItem).
    const auto chosen = [grid] { return grid->tiles().indexOf(grid->hilitedTile()); };
    QCOMPARE(chosen(), -1);
    QTest::keyClick(grid, Qt::Key_Space);
    QCOMPARE(chosen(), 0);
    QTest::keyClick(grid, Qt::Key_Right);
    QCOMPARE(chosen(), 1);
    QCOMPARE(grid->caption(), grid->destinations().at(1)->name());
    // The caption's text keeps clear of the grid's left edge.
    const QImage drawn = grid->grab().toImage();
    int firstInk = drawn.width();
    for (int y = grid->height() - DestinationGrid::CaptionHeight; y < drawn.height(); ++y)
        for (int x = 0; x < firstInk; ++x)
            if (qGray(drawn.pixel(x, y)) < 160)
                firstInk = x;
    QVERIFY2(firstInk >= 4 && firstInk < drawn.width(), qPrintable(QString::number(firstInk)));
    QVERIFY(grid->tiles().at(1)->showsFocus());
    QVERIFY(!grid->tiles().at(0)->showsFocus());

    // Letters typed while the pop-up has the keyboard leave the name as it is.
    auto *popUp = window.findChild<QComboBox *>(u"nameOptionsButton"_s);
    popUp->setFocus();
    QTest::keyClicks(popUp, u"Tessary"_s);
    QCOMPARE(name->text(), u"Derived"_s);

    // The caption reads at a contrast of at least 4.5 : 1.
    const auto luminance = [](const QColor &color) {
        const auto channel
            = [](double value) { return value <= 0.03928 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4); };
        return 0.2126 * channel(color.redF()) + 0.7152 * channel(color.greenF()) + 0.0722 * channel(color.blueF());
    };
    const double contrast = (luminance(UtilitiesWindows::interfaceBackgroundColor()) + 0.05)
        / (luminance(UtilitiesWindows::interfaceCaptionColor()) + 0.05);
    QVERIFY2(contrast >= 4.5, qPrintable(QString::number(contrast)));

    // Files dropped on a tile are refused: the choice stays, nothing is reported moved.
    QCOMPARE(drop(grid->tiles().at(2), {QUrl::fromLocalFile(u"/tmp/a.txt"_s)}), Qt::IgnoreAction);
    QCOMPARE(chosen(), 1);
    // Files dropped on the name field name the archive after them.
    QCOMPARE(drop(name, {QUrl::fromLocalFile(u"/home/anna/Holiday Photos.d"_s), QUrl::fromLocalFile(u"/tmp/b.txt"_s)}),
        Qt::CopyAction);
    QCOMPARE(name->text(), u"Holiday Photos and More"_s);
}

void TestChooser::returnInTheGridChoosesAndConfirms_data()
{
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::newRow("Return") << Qt::KeyboardModifiers();
    QTest::newRow("keypad Enter") << Qt::KeyboardModifiers(Qt::KeypadModifier);
}

void TestChooser::returnInTheGridChoosesAndConfirms()
{
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QStringList answers;
    CustomZipDialog window(QString(), u"Derived"_s, ZipNameTypeDerived, QString(), ZipEncryptionCompatible, 4,
        desktops(3),
        [&answers](bool, qint32, const QString &name, const QString &, ZipEncryption,
            const DestinationPointer &destination) { answers << name + u'|' + destination->name(); });
    DestinationGrid *grid = window.destinationGrid();
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QTRY_COMPARE(grid->tiles().size(), 3);
    grid->setFocus();
    // No tile chosen yet: the one in focus is, and the window goes on as its default button would.
    QTest::keyClick(grid, modifiers.testFlag(Qt::KeypadModifier) ? Qt::Key_Enter : Qt::Key_Return, modifiers);
    QTRY_COMPARE(answers, QStringList {u"Derived|Desk 0"_s});
    QVERIFY(!window.isVisible());
}

void TestChooser::customZipWindowChecks()
{
    const DestinationList destinations = desktops(2);
    QStringList answers; // "NAME|PASSWORD|ENCRYPTION|DESTINATION"
    CustomZipDialog window(u"Preset"_s, u"Derived"_s, ZipNameTypeDerived, u"preset pw"_s, ZipEncryptionCompatible, 4,
        destinations,
        [&answers](bool, qint32, const QString &name, const QString &password, ZipEncryption encryption,
            const DestinationPointer &destination) {
            answers << u"%1|%2|%3|%4"_s.arg(name, password).arg(encryption).arg(destination->name());
        });
    auto *encryption = window.findChild<EncryptionChoice *>();
    QStringList encryptionEnabled; // before a password, and with one
    DestinationGrid *grid = window.destinationGrid();
    QVERIFY(grid->hilitedTile() == nullptr); // no tile starts selected
    auto *create = window.findChild<QDialogButtonBox *>()->buttons().first();
    QStringList titles;
    ModalDriver driver;
    driver
        .then([](QWidget *modal) {
            modal->findChild<QLineEdit *>(u"nameTextField"_s)->clear();
            ModalDriver::press(modal, Qt::Key_Return);
        })
        .answerMessageBox()
        .then([](QWidget *modal) {
            ModalDriver::type(modal, "nameTextField", u"Photos"_s);
            ModalDriver::press(modal, Qt::Key_Return);
        })
        .answerMessageBox()
        .then([grid, create, &titles](QWidget *modal) {
            QTest::mouseClick(grid->tiles().at(1), Qt::LeftButton);
            titles << create->text();
            ModalDriver::type(modal, "confirmTextField", u"x"_s);
            titles << create->text();
            ModalDriver::press(modal, Qt::Key_Return);
        })
        .answerMessageBox(u"Cancel"_s)
        .then([](QWidget *modal) {
            ModalDriver::type(modal, "passwordTextField", u"y"_s);
            ModalDriver::press(modal, Qt::Key_Return);
        })
        .answerMessageBox()
        .then([encryption, &encryptionEnabled](QWidget *modal) {
            encryptionEnabled << u"%1"_s.arg(encryption->isEnabled());
            modal->findChild<QPushButton *>(u"passwordOptionsButton"_s)->click(); // the preset, in both fields
            encryptionEnabled << u"%1"_s.arg(encryption->isEnabled());
            encryption->setCurrentIndex(1);
            ModalDriver::press(modal, Qt::Key_Return);
        });
    QVERIFY(!encryption->isEnabled());
    window.runModal();

    QCOMPARE(driver.messages,
        (QStringList {u"Name Required|Please provide a name."_s,
            u"Destination Required|Please select a destination for this Tessary Archive."_s,
            u"No Password|Do you want to create this Tessary Archive with no password?"_s, kNotMatched}));
    QCOMPARE(titles, (QStringList {u"Create without Password"_s, u"Create with Password"_s}));
    QCOMPARE(answers, QStringList {u"Photos|preset pw|1|Desk 1"_s});
    // The choice follows the password field: after the "y" typed and refused, the field is empty.
    QCOMPARE(encryptionEnabled, (QStringList {u"1"_s, u"1"_s}));
    QVERIFY(window.findChild<QWidget *>(u"destinationArea"_s)->geometry().bottom() + 70 <= window.height());

    CustomZipDialog withoutPreset(QString(), QString(), 0, QString(), ZipEncryptionAES256, 0, destinations, {});
    QCOMPARE(withoutPreset.findChild<EncryptionChoice *>()->encryption(), ZipEncryptionAES256); // offered first
    QVERIFY(withoutPreset.findChild<QPushButton *>(u"passwordOptionsButton"_s)->isHidden());
}

void TestChooser::askForPasswordChecks()
{
    QStringList answers;
    PasswordDialog prompt(
        ZipEncryptionCompatible, [&answers](bool cancelled, const QString &typed, ZipEncryption chosen) {
            answers << u"%1 %2 %3"_s.arg(cancelled).arg(typed).arg(chosen);
        });
    QString selectedAfterMismatch;
    ModalDriver driver;
    driver.then([](QWidget *modal) { ModalDriver::press(modal, Qt::Key_Return); })
        .answerMessageBox()
        .then([](QWidget *modal) {
            ModalDriver::type(modal, "passwordTextField", u"one"_s);
            ModalDriver::type(modal, "confirmTextField", u"two"_s);
            ModalDriver::press(modal, Qt::Key_Return);
        })
        .answerMessageBox()
        .then([&selectedAfterMismatch](QWidget *modal) {
            auto *field = child<QLineEdit>(modal, "passwordTextField");
            if (modal->focusWidget() == field)
                selectedAfterMismatch = field->selectedText();
            // 41 "ü" are 82 bytes: longer than zip takes.
            const QString tooLong(41, u'ü');
            field->setText(tooLong);
            child<QLineEdit>(modal, "confirmTextField")->setText(tooLong);
            ModalDriver::press(modal, Qt::Key_Return);
        })
        .answerMessageBox()
        .then([](QWidget *modal) {
            child<QLineEdit>(modal, "passwordTextField")->setText(u"two"_s);
            child<QLineEdit>(modal, "confirmTextField")->setText(u"two"_s);
            modal->findChild<EncryptionChoice *>()->setCurrentIndex(1);
            ModalDriver::press(modal, Qt::Key_Return);
        });
    prompt.runModal();
    QCOMPARE(driver.messages.size(), 3);
    QCOMPARE(driver.messages.mid(0, 2), (QStringList {u"Password Required|Please provide a password."_s, kNotMatched}));
    QVERIFY(driver.messages.at(2).startsWith(u"Password Too Long|The password is too long"_s));
    QCOMPARE(selectedAfterMismatch, u"one"_s);
    QCOMPARE(answers, QStringList {u"0 two 1"_s}); // with AES-256, as chosen
}

void TestChooser::withoutAPersonEveryPromptCancels()
{
    UtilitiesWindows::setNonInteractive(true);
    QStringList answers;
    // Records the prompt's first answer: "cancelled" or, for the password check, "matched".
    const auto note = [&answers](const QString &prompt) {
        return [&answers, prompt](bool flag, const auto &...) { answers << u"%1 %2"_s.arg(prompt).arg(flag); };
    };
    NameDialog(u"P"_s, u"D"_s, 0, note(u"name"_s)).runModal();
    NameAndPasswordDialog(u"P"_s, u"D"_s, 0, ZipEncryptionCompatible, note(u"name and password"_s)).runModal();
    PasswordDialog(ZipEncryptionCompatible, note(u"password"_s)).runModal();
    EnterPasswordDialog(u"x"_s, u"?"_s, note(u"enter"_s)).runModal();
    NameEntryDialog(NameEntryDialog::presetName(), u"Kept"_s, [&](bool, const QString &name) {
        answers << name;
    }).runModal();
    PresetPasswordDialog(true, note(u"preset password"_s)).runModal();
    QCOMPARE(answers,
        (QStringList {
            u"name 1"_s, u"name and password 1"_s, u"password 1"_s, u"enter 0"_s, u"Kept"_s, u"preset password 1"_s}));
}

void TestChooser::everyPictureIsDrawn()
{
    // The tile picture of each kind, and the product's other images.
    const QList<DestinationPointer> kinds {std::make_shared<DestinationAddDestination>(u"AddDestination"_s),
        std::make_shared<DestinationAirDrop>(u"AirDrop"_s),
        std::make_shared<DestinationAlongsideSource>(u"AlongsideSource"_s),
        std::make_shared<DestinationDesktop>(u"Desktop"_s), std::make_shared<DestinationDropbox>(u"Dropbox"_s),
        std::make_shared<DestinationEmail>(u"Email"_s), std::make_shared<DestinationFTP>(u"FTP"_s),
        std::make_shared<DestinationFolder>(u"/tmp"_s, u"Folder"_s), std::make_shared<DestinationICloud>(u"ICloud"_s),
        std::make_shared<DestinationMessages>(u"Messages"_s)};
    for (const DestinationPointer &kind : kinds)
        QVERIFY2(isDrawn(ImageManager::iconForDestination(*kind, QSizeF(80, 80))), qPrintable(kind->name()));
    for (const char *name : {"ConfigureIcon", "CloseIcon", "TessaryStatusItemImage", "TessaryLogo.png"}) {
        const QImage image = ImageManager::imageNamed(QString::fromLatin1(name), QSizeF(80, 80));
        QCOMPARE(image.deviceIndependentSize(), QSizeF(80, 80));
        QVERIFY2(isDrawn(image), name);
    }
}

void TestChooser::theGearMenusDialogs_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<Qt::Key>("key");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("server");
    const QString rename = u"Change Name..."_s;
    const QString configure = u"Configure \"Uploads\"..."_s;
    QTest::newRow("rename, confirmed") << rename << Qt::Key_Return << u"Archive Shelf"_s << QString();
    QTest::newRow("rename, cancelled") << rename << Qt::Key_Escape << u"Uploads"_s << QString();
    QTest::newRow("configure, confirmed") << configure << Qt::Key_Return << u"Uploads"_s << u"ftp.example.org"_s;
    QTest::newRow("configure, cancelled") << configure << Qt::Key_Escape << u"Uploads"_s << QString();
}

void TestChooser::theGearMenusDialogs()
{
    QFETCH(QString, item);
    QFETCH(Qt::Key, key);
    QFETCH(QString, name);
    QFETCH(QString, server);
    const auto ftp = std::make_shared<DestinationFTP>(u"Uploads"_s);
    DestinationEditor editor; // as the owner of the list installs it
    ftp->setEditing(&editor);
    QSignalSpy changes(ftp.get(), &Destination::destinationDidChange);
    DestinationGrid chooser(QSizeF(80, 80));
    chooser.setDestinations({ftp});
    QTRY_COMPARE(chooser.tiles().size(), 2);
    DestinationTile *view = chooser.tiles().at(0);
    view->showConfigureButtons(true);
    view->buttons()->configureButton()->click();
    auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
    QVERIFY(menu != nullptr);
    const QList<QAction *> actions = menu->actions();
    const auto chosen = std::find_if(
        actions.cbegin(), actions.cend(), [&item](const QAction *action) { return action->text() == item; });
    QVERIFY(chosen != actions.cend());

    // The dialog comes once the menu has finished with the click; one that came before would run
    // inside the menu's own handling, which may delete the menu under it.
    bool menuDone = false;
    connect(*chosen, &QAction::triggered, this, [&menuDone] { menuDone = true; });
    bool dialogAfterMenu = false;
    ModalDriver driver;
    driver.then([&](QWidget *modal) {
        dialogAfterMenu = menuDone;
        if (item.startsWith(u"Change"_s))
            ModalDriver::type(modal, "nameTextField", u"Archive Shelf"_s);
        else
            ModalDriver::type(modal, "serverAddressTextField", u"ftp.example.org"_s);
        ModalDriver::press(modal, key);
    });
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(*chosen).center());
    QTRY_COMPARE(driver.remainingSteps(), 0);
    QTRY_VERIFY(QApplication::activeModalWidget() == nullptr);
    QVERIFY(dialogAfterMenu);
    QCOMPARE(ftp->name(), name);
    QCOMPARE(ftp->serverAddress(), server);
    QCOMPARE(changes.size(), key == Qt::Key_Return ? 1 : 0);
    // A new name shows on the tile at once.
    QCOMPARE(chooser.tiles().at(0)->toolTip(), name);
}

QTEST_MAIN(TestChooser)
#include "TestChooser.moc"
