#include "StatusMenu.h"

#include "QuickZipPolicies.h"
#include "ZipRequests.h"

#include "core/settings/Settings.h"
#include "core/support/Utilities.h"
#include "gui/prompts/EncryptionChoice.h"
#include "gui/support/AboutBox.h"
#include "gui/support/Alerts.h"
#include "gui/support/CopiedFiles.h"
#include "gui/support/UtilitiesWindows.h"
#include "platform/DesktopOpener.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
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
    TagUseAES256 = 10,
    TagFileManagerMenus = 11,
    TagZipCopiedFiles = 12,
};

// The help the menu opens: the README installed with the program (in share/doc beside its bin
// folder), whether or not it is there.
QString helpPath()
{
    return QDir::cleanPath(QDir(QCoreApplication::applicationDirPath()).filePath(u"../share/doc/tessary/README.md"_s));
}
} // namespace

StatusMenu::StatusMenu(QMenu *menu, Settings &settings, QuickZipPolicies &policies, ZipRequests &requests,
    LogCapture &logCapture, QObject *parent)
    : QObject(parent)
    , m_menu(menu)
    , m_settings(settings)
    , m_policies(policies)
    , m_requests(requests)
    , m_logCapture(logCapture)
{
    const auto nameType = [this](qint32 type) { return [this, type] { m_settings.setQuickZipNameType(type); }; };
    const auto passwordType
        = [this](qint32 type) { return [this, type] { m_settings.setQuickZipPasswordType(type); }; };

    addItem(u"Reveal Last Tessary Archive..."_s, TagRevealLastZip, [this] {
        m_requests.revealLastArchive();
    })->setEnabled(m_requests.canRevealLastArchive());
    addItem(u"Zip Copied Files…"_s, TagZipCopiedFiles, [this] { zipCopiedFiles(); })->setShortcut(QKeySequence::Paste);
    menu->installEventFilter(this);
    menu->addSeparator();
    addItem(u"QuickZip Name"_s, TagHeading, {});
    addItem(u"Use \"Tessary Archive\""_s, TagTessaryName, nameType(ZipNameTypeTessaryArchive));
    addItem(u"Derive Name from Source"_s, TagDeriveName, nameType(ZipNameTypeDerived));
    addItem(u"Ask For Name"_s, TagAskForName, nameType(ZipNameTypeAsk));
    addItem(u"Use Preset Name"_s, TagUseSavedName, [this] { m_policies.useSavedNameSelected(); });
    menu->addSeparator();
    addItem(u"QuickZip Password"_s, TagHeading, {});
    addItem(u"No Password"_s, TagNoPassword, passwordType(ZipPasswordTypeNone));
    addItem(u"Ask For Password"_s, TagAskForPassword, passwordType(ZipPasswordTypeAsk));
    addItem(u"Use Preset Password"_s, TagUseSavedPassword, [this] { m_policies.useSavedPasswordSelected(); });
    addItem(u"Use AES-256 Encryption"_s, TagUseAES256, [this] {
        m_settings.setPasswordEncryption(
            m_settings.passwordEncryption() == ZipEncryptionAES256 ? ZipEncryptionCompatible : ZipEncryptionAES256);
    })->setToolTip(EncryptionChoice::explanation(ZipEncryptionAES256));
    menu->setToolTipsVisible(true);
    menu->addSeparator();
    addItem(u"QuickZip Settings"_s, TagHeading, {});
    addItem(u"Set Preset Name..."_s, TagCommand, [this] { m_policies.defineSavedZipName(); });
    addItem(u"Set Preset Password..."_s, TagCommand, [this] { m_policies.setSavedPasswordSelected(); });
    menu->addSeparator();
    addItem(u"Destinations..."_s, TagCommand, [this] { Q_EMIT destinationsWindowRequested(); });
    addItem(u"File Manager Menus"_s, TagFileManagerMenus, [this] {
        m_settings.setFileManagerMenus(!m_settings.fileManagerMenus());
        Q_EMIT fileManagerMenusToggled();
    })->setToolTip(u"\"Send with Tessary\" and \"Zip with Tessary…\" in the menus of Dolphin, Files, Nemo and Caja"_s);
    menu->addSeparator();
    addItem(u"Introduction..."_s, TagCommand, [this] { Q_EMIT introductionRequested(); });
    addItem(u"Support..."_s, TagCommand, [this] { openHelp(); });
    addItem(u"About..."_s, TagCommand, [this] { AboutBox::run(m_logCapture); });
    menu->addSeparator();
    addItem(u"Quit..."_s, TagCommand, [this] { confirmQuit(); });

    UtilitiesWindows::convertHeadingMenuItemsWithTag(TagHeading, menu);
    connect(menu, &QMenu::aboutToShow, this, [this] {
        const QList<QAction *> items = m_menu->actions();
        for (QAction *item : items)
            validateItem(item);
    });
}

QAction *StatusMenu::addItem(const QString &title, int tag, const std::function<void()> &command)
{
    QAction *item = m_menu->addAction(title);
    item->setData(tag);
    item->setCheckable(tag >= TagTessaryName && tag <= TagFileManagerMenus); // the choices and switches
    if (command)
        connect(item, &QAction::triggered, this, command, Qt::QueuedConnection);
    return item;
}

bool StatusMenu::eventFilter(QObject *watched, QEvent *event)
{
    // The menu takes the keys while it is open: Ctrl+V there pastes as the item does.
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->matches(QKeySequence::Paste)) {
        m_menu->close();
        QMetaObject::invokeMethod(this, &StatusMenu::zipCopiedFiles, Qt::QueuedConnection);
        return true;
    }
    return QObject::eventFilter(watched, event);
}

void StatusMenu::zipCopiedFiles()
{
    const QList<QUrl> files = CopiedFiles::onClipboard();
    if (!files.isEmpty())
        m_requests.customZip(files);
}

void StatusMenu::validateItem(QAction *item)
{
    const int tag = item->data().toInt();
    switch (tag) {
    case TagRevealLastZip:
        item->setEnabled(m_requests.canRevealLastArchive());
        break;
    case TagZipCopiedFiles:
        item->setEnabled(!CopiedFiles::onClipboard().isEmpty());
        break;
    case TagTessaryName:
    case TagDeriveName:
    case TagAskForName:
    case TagUseSavedName:
        item->setChecked(m_settings.quickZipNameType() == tag - TagTessaryName);
        break;
    case TagNoPassword:
    case TagAskForPassword:
    case TagUseSavedPassword:
        item->setChecked(m_settings.quickZipPasswordType() == tag - TagNoPassword);
        break;
    case TagUseAES256:
        item->setChecked(m_settings.passwordEncryption() == ZipEncryptionAES256);
        break;
    case TagFileManagerMenus:
        item->setChecked(m_settings.fileManagerMenus());
        break;
    default:
        break;
    }
}

void StatusMenu::openHelp()
{
    const QString path = helpPath();
    if (!QFileInfo(path).isFile()) {
        Alerts::displayMessage(u"Tessary's help is not installed: it belongs at \"%1\". It comes with "
                               "Tessary's package, and with \"make install\"."_s.arg(path),
            u"Help Not Installed"_s);
        return;
    }
    DesktopOpener::open(path, this, [path](const QString &reason) {
        Alerts::displayMessage(
            u"Tessary could not open its help \"%1\": %2."_s.arg(path, reason), u"Cannot Open the Help"_s);
    });
}

void StatusMenu::confirmQuit()
{
    if (Alerts::getConfirmation(u"Quit Tessary"_s, u"Are you sure you wish to Quit Tessary?"_s, u"Quit"_s))
        QCoreApplication::quit();
}
