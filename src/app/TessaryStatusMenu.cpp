// The status menu: the quick-zip policies as check-marked choices under grey headings, the
// preset name and password, help, About and Quit.

#include "Tessary.h"

#include "QuickZipPolicies.h"

#include "core/settings/Settings.h"
#include "core/support/Utilities.h"
#include "gui/statusitem/StatusItem.h"
#include "gui/support/UtilitiesWindows.h"
#include "platform/DesktopOpener.h"
#include "platform/FileManager.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMenu>

using namespace Qt::Literals::StringLiterals;

namespace {
// What validation reads from an item.
enum MenuTag : int {
    TagCommand = 0,
    TagRevealLastZip = 1,
    TagHeading = 2,
    TagTessaryName = 3,
    TagDeriveName = 4,
    TagAskForName = 5,
    TagUseSavedName = 6,
    TagNoPassword = 7,
    TagAskForPassword = 8,
    TagUseSavedPassword = 9,
};
} // namespace

void Tessary::buildStatusMenu()
{
    QMenu *menu = m_statusItem->menu();
    const auto add = [this, menu](const QString &title, int tag, const std::function<void()> &command) {
        QAction *item = menu->addAction(title);
        item->setData(tag);
        item->setCheckable(tag >= TagTessaryName);
        // What an item does comes once the menu has finished with the click: its dialogs never
        // run inside the menu's own handling.
        if (command)
            connect(item, &QAction::triggered, this, command, Qt::QueuedConnection);
        return item;
    };
    const auto nameType = [this](qint32 type) { return [this, type] { m_settings->setQuickZipNameType(type); }; };
    const auto passwordType
        = [this](qint32 type) { return [this, type] { m_settings->setQuickZipPasswordType(type); }; };

    add(u"Reveal Last Tessary Archive..."_s, TagRevealLastZip, [this] {
        revealLastZipSelected();
    })->setEnabled(canRevealLastZipCreated());
    menu->addSeparator();
    add(u"QuickZip Name"_s, TagHeading, {});
    add(u"Use \"Tessary Archive\""_s, TagTessaryName, nameType(ZipNameTypeTessaryArchive));
    add(u"Derive Name from Source"_s, TagDeriveName, nameType(ZipNameTypeDerived));
    add(u"Ask For Name"_s, TagAskForName, nameType(ZipNameTypeAsk));
    add(u"Use Preset Name"_s, TagUseSavedName, [this] { m_quickZipPolicies->useSavedNameSelected(); });
    menu->addSeparator();
    add(u"QuickZip Password"_s, TagHeading, {});
    add(u"No Password"_s, TagNoPassword, passwordType(ZipPasswordTypeNone));
    add(u"Ask For Password"_s, TagAskForPassword, passwordType(ZipPasswordTypeAsk));
    add(u"Use Preset Password"_s, TagUseSavedPassword, [this] { m_quickZipPolicies->useSavedPasswordSelected(); });
    menu->addSeparator();
    add(u"QuickZip Settings"_s, TagHeading, {});
    add(u"Set Preset Name..."_s, TagCommand, [this] { m_quickZipPolicies->defineSavedZipName(); });
    add(u"Set Preset Password..."_s, TagCommand, [this] { m_quickZipPolicies->setSavedPasswordSelected(); });
    menu->addSeparator();
    add(u"Destinations..."_s, TagCommand, [this] { configureDestinationsSelected(); });
    menu->addSeparator();
    add(u"Introduction..."_s, TagCommand, [this] { showIntroductionWithShowSkipReminderMessage(false); });
    add(u"Support..."_s, TagCommand, [this] { supportSelected(); });
    add(u"About..."_s, TagCommand, [this] { displayAboutBox(); });
    menu->addSeparator();
    add(u"Quit..."_s, TagCommand, [this] { quitSelected(); });

    UtilitiesWindows::convertHeadingMenuItemsWithTag(TagHeading, menu);
    connect(menu, &QMenu::aboutToShow, this, [this, menu] {
        const QList<QAction *> items = menu->actions();
        for (QAction *item : items)
            validateMenuItem(item);
    });
}

void Tessary::validateMenuItem(QAction *item)
{
    const int tag = item->data().toInt();
    switch (tag) {
    case TagRevealLastZip:
        item->setEnabled(canRevealLastZipCreated());
        break;
    case TagTessaryName:
    case TagDeriveName:
    case TagAskForName:
    case TagUseSavedName:
        item->setChecked(m_settings->quickZipNameType() == tag - TagTessaryName);
        break;
    case TagNoPassword:
    case TagAskForPassword:
    case TagUseSavedPassword:
        item->setChecked(m_settings->quickZipPasswordType() == tag - TagNoPassword);
        break;
    default:
        break;
    }
}

void Tessary::revealLastZipSelected()
{
    if (canRevealLastZipCreated())
        revealArchive(m_pathToLastZipCreated);
}

void Tessary::revealArchive(const QString &archivePath)
{
    FileManager::reveal(archivePath, this, [archivePath](const QString &reason) {
        Utilities::displayMessage(u"Tessary could not show the archive \"%1\": no file manager answered, and its "
                                  "folder could not be opened (%2)."_s.arg(archivePath, reason),
            u"Cannot Show the Archive"_s);
    });
}

QString Tessary::supportDocumentPath()
{
    return QDir::cleanPath(QDir(QCoreApplication::applicationDirPath()).filePath(u"../share/doc/tessary/README.md"_s));
}

void Tessary::supportSelected()
{
    const QString path = supportDocumentPath();
    if (!QFileInfo(path).isFile()) {
        Utilities::displayMessage(u"Tessary's help is not installed: it belongs at \"%1\". It comes with "
                                  "Tessary's package, and with \"make install\"."_s.arg(path),
            u"Help Not Installed"_s);
        return;
    }
    DesktopOpener::open(path, this, [path](const QString &reason) {
        Utilities::displayMessage(
            u"Tessary could not open its help \"%1\": %2."_s.arg(path, reason), u"Cannot Open the Help"_s);
    });
}

void Tessary::quitSelected()
{
    if (Utilities::getConfirmation(u"Quit Tessary"_s, u"Are you sure you wish to Quit Tessary?"_s, u"Quit"_s))
        QCoreApplication::quit();
}
