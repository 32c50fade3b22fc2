#include "UtilitiesWindows.h"

#include "RoundedRectangleView.h"
#include "core/pipeline/ThreadHops.h"
#include "core/support/UserInteraction.h"
#include "core/support/Utilities.h"
#include "platform/AutostartEntry.h"
#include "platform/DesktopNotifications.h"
#include "platform/WindowManagerHints.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPainterPath>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QSpacerItem>
#include <QWidgetAction>

#include <optional>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int kNoticeFontSize = 24;
constexpr int kNoticeMargin = 25;
constexpr qreal kNoticeCornerRadius = 10.0;
constexpr double kNoticeExtraSeconds = 1.0;
constexpr int kForegroundSettleMs = 100;
constexpr int kAlertMinimumWidth = 420;
constexpr int kHeadingHeight = 16;

std::optional<bool> &nonInteractiveOverride()
{
    static std::optional<bool> value;
    return value;
}

std::function<void(const QString &, const QString &)> &systemNotificationFallback()
{
    static std::function<void(const QString &, const QString &)> fallback;
    return fallback;
}

// An alert titled as itself, with the icon of its kind, over the window it concerns (the dialog
// in use, if any), widened like the system's alerts so that long texts wrap sensibly.
void prepareAlert(QMessageBox &box, const QString &title, const QString &message, QMessageBox::Icon icon)
{
    box.setWindowTitle(title);
    box.setIcon(icon);
    box.setTextFormat(Qt::PlainText);
    box.setText(title);
    box.setInformativeText(message);
    if (auto *grid = qobject_cast<QGridLayout *>(box.layout()))
        grid->addItem(new QSpacerItem(kAlertMinimumWidth, 0, QSizePolicy::Minimum, QSizePolicy::Expanding),
            grid->rowCount(), 0, 1, grid->columnCount());
}

QWidget *windowConcerned()
{
    return QApplication::activeModalWidget() != nullptr ? QApplication::activeModalWidget()
                                                        : QApplication::activeWindow();
}

// Whether this program has the widgets application that every window needs (a command without a
// screen has none).
bool hasWidgets()
{
    return qobject_cast<QApplication *>(QCoreApplication::instance()) != nullptr;
}

// The messages and questions of Utilities, in windows.
class WindowInteraction final : public UserInteraction
{
public:
    void alert(const QString &message, const QString &title, Kind kind) override
    {
        if (UtilitiesWindows::isNonInteractive()) {
            Utilities::writeToStandardError(title, message);
            return;
        }
        UtilitiesWindows::bringCurrentApplicationToForeground();
        QMessageBox box(windowConcerned());
        prepareAlert(box, title, message, kind == Kind::Warning ? QMessageBox::Warning : QMessageBox::Information);
        box.setStandardButtons(QMessageBox::Ok);
        box.exec();
    }

    void notice(const QString &message, double duration, double after) override
    {
        if (!hasWidgets()) {
            Utilities::writeToStandardError({}, message);
            return;
        }
        const QPointer<QWidget> notice(UtilitiesWindows::createNotification(message));
        executeBlockOnMainThread(
            [notice] {
                if (notice)
                    notice->show();
            },
            after);
        executeBlockOnMainThread(
            [notice] {
                if (notice)
                    notice->close();
            },
            duration + after + kNoticeExtraSeconds);
    }

    void systemNotification(const QString &title, const QString &details) override
    {
        DesktopNotifications::notify(title, details, [title, details] {
            if (systemNotificationFallback())
                systemNotificationFallback()(title, details);
            else
                Utilities::writeToStandardError(title, details);
        });
    }

    bool confirm(const QString &title, const QString &message, const QString &actionButtonText) override
    {
        if (UtilitiesWindows::isNonInteractive()) {
            Utilities::writeToStandardError(title, message);
            return false;
        }
        UtilitiesWindows::bringCurrentApplicationToForeground();
        QMessageBox box(windowConcerned());
        prepareAlert(box, title, message, QMessageBox::Warning);
        QPushButton *action = box.addButton(actionButtonText, QMessageBox::AcceptRole);
        box.addButton(QMessageBox::Cancel);
        box.setDefaultButton(action);
        box.exec();
        return box.clickedButton() == action;
    }

    QList<QUrl> openPanel(bool allowFiles, bool allowDirectories, const QStringList &allowedFileTypes,
        bool allowMultipleSelection, const QUrl &directoryURL) override
    {
        if (UtilitiesWindows::isNonInteractive())
            return {};
        UtilitiesWindows::bringCurrentApplicationToForeground();
        QFileDialog panel;
        if (allowDirectories && !allowFiles) {
            panel.setFileMode(QFileDialog::Directory);
            panel.setOption(QFileDialog::ShowDirsOnly);
        } else {
            panel.setFileMode(allowMultipleSelection ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
        }
        if (!allowedFileTypes.isEmpty()) {
            QStringList patterns;
            for (const QString &type : allowedFileTypes)
                patterns << u"*."_s + type;
            panel.setNameFilter(patterns.join(u' '));
        }
        if (directoryURL.isValid())
            panel.setDirectoryUrl(directoryURL);
        if (panel.exec() != QDialog::Accepted)
            return {};
        return panel.selectedUrls();
    }
};

} // namespace

void UtilitiesWindows::installUserInteraction()
{
    static WindowInteraction interaction;
    Utilities::setUserInteraction(&interaction);
}

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

QWidget *UtilitiesWindows::createNotification(const QString &message)
{
    auto *window = new QWidget(
        nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus);
    window->setAttribute(Qt::WA_TranslucentBackground);
    window->setAttribute(Qt::WA_ShowWithoutActivating);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setObjectName(u"TessaryNotice"_s);
    WindowManagerHints::keepOutOfTaskbar(window->winId());

    auto *label = new QLabel(message);
    QFont font = label->font();
    font.setPointSize(kNoticeFontSize);
    label->setFont(font);
    label->setStyleSheet(u"color: black; background: transparent;"_s);
    label->adjustSize();

    auto *background = new RoundedRectangleView(window);
    background->setBackgroundColor(interfaceBackgroundColor());
    background->setCornerRadius(kNoticeCornerRadius);
    const QSize content = label->size().grownBy(QMargins(kNoticeMargin, kNoticeMargin, kNoticeMargin, kNoticeMargin));
    window->resize(content);
    background->setGeometry(QRect(QPoint(0, 0), content));
    // The rounded shape itself, so that no black corners show where no compositor blends them.
    QPainterPath shape;
    shape.addRoundedRect(QRectF(background->geometry()), kNoticeCornerRadius, kNoticeCornerRadius);
    window->setMask(QRegion(shape.toFillPolygon().toPolygon()));
    label->setParent(background);
    label->setGeometry(Utilities::centeredRect(QRectF(label->rect()), QRectF(background->rect())).toRect());

    if (const QScreen *screen = QGuiApplication::primaryScreen())
        window->move(
            Utilities::centeredRect(QRectF(window->rect()), QRectF(screen->availableGeometry())).topLeft().toPoint());
    return window;
}

void UtilitiesWindows::setSystemNotificationFallback(std::function<void(const QString &, const QString &)> fallback)
{
    systemNotificationFallback() = std::move(fallback);
}

void UtilitiesWindows::bringCurrentApplicationToForeground()
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < kForegroundSettleMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, kForegroundSettleMs);
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

void UtilitiesWindows::addCurrentAppAsLoginItem()
{
    AutostartEntry::install(QCoreApplication::applicationFilePath());
}

QColor UtilitiesWindows::interfaceBackgroundColor()
{
    return QColor(243, 244, 246);
}

QColor UtilitiesWindows::interfaceHiliteColor()
{
    return QColor(61, 144, 246);
}
