#include "UtilitiesWindows.h"

#include "core/support/Utilities.h"
#include "platform/AutostartEntry.h"

#include <QApplication>
#include <QDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QTimer>
#include <QWidgetAction>

#include <optional>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int kHeadingHeight = 16;

std::optional<bool> &nonInteractiveOverride()
{
    static std::optional<bool> value;
    return value;
}

// Whether this program has the widgets application that every window needs (a command without a
// screen has none).
bool hasWidgets()
{
    return qobject_cast<QApplication *>(QCoreApplication::instance()) != nullptr;
}

} // namespace

bool UtilitiesWindows::isNonInteractive()
{
    if (!hasWidgets())
        return true;
    if (nonInteractiveOverride().has_value())
        return *nonInteractiveOverride();
    const QString platform = QGuiApplication::platformName();
    return platform == u"offscreen"_s || platform == u"minimal"_s;
}

void UtilitiesWindows::setNonInteractive(bool nonInteractive)
{
    nonInteractiveOverride() = nonInteractive;
}

bool UtilitiesWindows::runModally(QDialog *dialog)
{
    const QPointer<QDialog> guard(dialog);
    QTimer::singleShot(0, dialog, [dialog] { bringForward(dialog); });
    dialog->exec();
    return !guard.isNull();
}

void UtilitiesWindows::bringForward(QWidget *window)
{
    window->raise();
    window->activateWindow();
}

void UtilitiesWindows::convertHeadingMenuItemsWithTag(int tag, QMenu *menu)
{
    const QList<QAction *> actions = menu->actions();
    for (QAction *action : actions) {
        if (action->data().toInt() != tag || qobject_cast<QWidgetAction *>(action) != nullptr)
            continue;
        auto *heading = new QWidgetAction(menu);
        auto *label = new QLabel(action->text());
        label->setAlignment(Qt::AlignCenter);
        label->setFixedHeight(kHeadingHeight);
        label->setStyleSheet(u"color: grey; background: transparent; border: none;"_s);
        heading->setDefaultWidget(label);
        heading->setData(action->data());
        heading->setEnabled(false);
        menu->insertAction(action, heading);
        menu->removeAction(action);
    }
}

bool UtilitiesWindows::addCurrentAppAsLoginItem()
{
    return AutostartEntry::install(QCoreApplication::applicationFilePath());
}

QColor UtilitiesWindows::interfaceBackgroundColor()
{
    return QColor(243, 244, 246);
}

QColor UtilitiesWindows::interfaceHiliteColor()
{
    return QColor(61, 144, 246);
}

QColor UtilitiesWindows::interfaceCaptionColor()
{
    return QColor(90, 90, 90);
}
