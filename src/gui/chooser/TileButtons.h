#pragma once

#include <QObject>
#include <QPointer>
#include <QToolButton>

class Destination;
class QMenu;
class QWidget;

// The configure and delete buttons in the top corners of a tile, fading in while the tile is
// highlighted. The configure button pops up the menu that edits the Destination; the delete
// button is reported, for the tile's owner to ask whether the Destination is to go.
class TileButtons final : public QObject
{
    Q_OBJECT

public:
    /// Side of the buttons, and their distance from the tile's edges.
    static constexpr int ButtonSize = 18;
    static constexpr int ButtonMargin = 3;

    explicit TileButtons(QWidget *tile);

    /// Shows the buttons the Destination allows: configure where it can be renamed or configured,
    /// delete where it can be deleted.
    void show(Destination *destination);
    /// Removes both; a button in the middle of its own click goes once that is over.
    void hide();
    QToolButton *configureButton() const { return m_configureButton; }
    QToolButton *deleteButton() const { return m_deleteButton; }

    /// The configure menu: "Configure "NAME"..." and a separator where the Destination can be
    /// configured, then "Change Name...". The caller owns it.
    static QMenu *createConfigureMenu(Destination *destination);

Q_SIGNALS:
    void deleteClicked();

private:
    QToolButton *makeButton(const QString &imageName, int x);
    void popUpConfigureMenu();

    QWidget *const m_tile;
    QPointer<Destination> m_destination;
    QPointer<QToolButton> m_configureButton;
    QPointer<QToolButton> m_deleteButton;
};
