#include "ProgressDialogStack.h"

#include "core/destinations/Destination.h"
#include "core/settings/Settings.h"
#include "core/support/Utilities.h"
#include "gui/pipeline/ProgressDialog.h"
#include "gui/support/Alerts.h"

#include <QWidget>

using namespace Qt::Literals::StringLiterals;

namespace {
constexpr float kProgressWindowDelay = 1.0F;
constexpr double kStackOffset = 90.0;
constexpr double kCreatedNoticeDuration = 1.0;
} // namespace

ProgressDialogStack::ProgressDialogStack(Settings &settings, QObject *parent)
    : QObject(parent)
    , m_settings(settings)
{
}

ProgressDialog *ProgressDialogStack::open(const QString &jobName, const std::function<void()> &cancellation)
{
    auto *window = new ProgressDialog(jobName, u"Preparing..."_s, cancellation);
    window->setWindowLocation(nextLocation());
    connect(window, &ProgressDialog::progressWindowDidMove, this, [this](ProgressDialog *moved) {
        m_settings.setPreferredWindowLocation(Settings::Window::Progress, moved->window()->pos());
    });
    window->showAfter(kProgressWindowDelay);
    m_windows.append(window);
    return window;
}

ProgressDialog *ProgressDialogStack::dismiss(
    ProgressDialog *window, const Destination &destination, bool secure, bool jobSucceeded)
{
    if (window == nullptr)
        return nullptr;
    if (jobSucceeded && !window->wasShown() && destination.traits().testFlag(Destination::ShowsCreatedNotice))
        Alerts::displayNotification(
            secure ? u"Secure Tessary Archive Successfully Created"_s : u"Tessary Archive Successfully Created"_s,
            kCreatedNoticeDuration);
    m_windows.removeAll(window);
    window->dismiss();
    return nullptr;
}

QList<ProgressDialog *> ProgressDialogStack::windows() const
{
    QList<ProgressDialog *> open;
    for (const QPointer<ProgressDialog> &window : m_windows)
        if (window)
            open << window.data();
    return open;
}

QPointF ProgressDialogStack::nextLocation() const
{
    const QList<ProgressDialog *> open = windows();
    if (open.isEmpty())
        return m_settings.preferredWindowLocation(Settings::Window::Progress);
    const QPoint newest = open.last()->windowPosition();
    return QPointF(newest.x(), newest.y() + kStackOffset);
}
