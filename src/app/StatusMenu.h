#pragma once

#include <QObject>

class LogCapture;
class QAction;
class QMenu;
class QuickZipPolicies;
class Settings;
class ZipRequests;

// The status menu: the last archive, the files copied to the clipboard (also Ctrl+V while the menu
// is open), the quick-zip policies as check-marked choices under grey
// headings, the preset name and password, the Destinations, help, About and Quit. What an item
// does comes once the menu has finished with the click: its dialogs never run inside the menu's
// own handling. The check marks are set afresh each time the menu opens.
class StatusMenu final : public QObject
{
    Q_OBJECT

public:
    /// Fills the menu, which stays the caller's.
    StatusMenu(QMenu *menu, Settings &settings, QuickZipPolicies &policies, ZipRequests &requests,
        LogCapture &logCapture, QObject *parent = nullptr);

Q_SIGNALS:
    void destinationsWindowRequested();
    void introductionRequested();
    /// The user turned the file managers' menus on or off (the setting holds the choice).
    void fileManagerMenusToggled();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    /// Opens the custom zip window for the files copied, where there are any.
    void zipCopiedFiles();
    QAction *addItem(const QString &title, int tag, const std::function<void()> &command);
    /// Enables the item and sets its check mark from its tag.
    void validateItem(QAction *item);
    /// Opens the help on using Tessary; tells the user when it is not installed or nothing can
    /// open it.
    void openHelp();
    /// Quits after the user confirms.
    void confirmQuit();

    QMenu *m_menu;
    Settings &m_settings;
    QuickZipPolicies &m_policies;
    ZipRequests &m_requests;
    LogCapture &m_logCapture;
};
