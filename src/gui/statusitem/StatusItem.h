#pragma once

#include <QObject>

#include <memory>

class DropPad;
class QMenu;
class QSystemTrayIcon;

// Tessary's presence on the desktop: the drop pad, always, and the tray icon with the image
// "TessaryStatusItemImage" where the desktop has a tray. Both open the status menu, which this
// object owns and the application fills (StatusMenu).
class StatusItem final : public QObject
{
    Q_OBJECT

public:
    StatusItem();
    ~StatusItem() override;

    DropPad *pad() const { return m_pad.get(); }
    QMenu *menu() const { return m_menu.get(); }

    /// Opens the menu below the pad (above it where the screen ends).
    void popUpMenuAtPad();

private:
    std::unique_ptr<QMenu> m_menu;
    std::unique_ptr<DropPad> m_pad;
    QSystemTrayIcon *m_trayIcon = nullptr; // null where the desktop has no tray
};
