#include "Launcher.h"

#include "core/pipeline/ThreadHops.h"
#include "core/settings/Settings.h"
#include "core/support/Utilities.h"
#include "gui/intro/IntroductionDialog.h"
#include "gui/support/AboutBox.h"
#include "gui/support/Alerts.h"
#include "gui/support/UtilitiesWindows.h"
#include "platform/AutostartEntry.h"
#include "platform/SystemVersion.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QTimer>
#include <QWidget>

using namespace Qt::Literals::StringLiterals;

namespace {
constexpr int kEndAfterUnsupportedMs = 1000;
} // namespace

Launcher::Launcher(Settings &settings, QObject *parent)
    : QObject(parent)
    , m_settings(settings)
{
}

bool Launcher::performSystemVersionCheck()
{
    if (SystemVersion::canShowDropPad())
        return true;
    AboutBox::showLogoAlert(u"Tessary"_s,
        u"Tessary cannot put its drop pad on this desktop (Linux %1, %2 display).  Tessary requires an X11 "
        "display, directly or through XWayland."_s.arg(
            SystemVersion::systemVersionString(), QGuiApplication::platformName()));
    QTimer::singleShot(kEndAfterUnsupportedMs, qApp, [] { QCoreApplication::exit(1); });
    return false;
}

void Launcher::performFirstLaunchSetup()
{
    if (!m_settings.initialLaunchDone()) {
        m_settings.setInitialLaunchDone();
        showIntroduction(true);
    }
    if (!m_settings.loginItemInstallComplete()) {
        // Recorded once written; otherwise the user hears of it, and the next start tries again.
        if (UtilitiesWindows::addCurrentAppAsLoginItem())
            m_settings.setLoginItemInstallComplete();
        else
            runOnMainThread(this, [] {
                Alerts::displayMessage(
                    u"Tessary could not add itself to the programs that start with your session: \"%1\" could "
                    "not be written. Until it can, start Tessary yourself after you log in; it tries again at its "
                    "next start."_s.arg(AutostartEntry::path()),
                    u"Not Started with Your Session"_s);
            });
    }
}

void Launcher::showIntroduction(bool showSkipReminderMessage)
{
    if (m_introductionWindow)
        m_introductionWindow->window()->close();
    m_introductionWindow = new IntroductionDialog(showSkipReminderMessage, [this] {
        // Let go of the window that closed, once its close is over.
        if (m_introductionWindow)
            m_introductionWindow->deleteLater();
        m_introductionWindow = nullptr;
    });
    m_introductionWindow->setParent(this);
    m_introductionWindow->show();
}

IntroductionDialog *Launcher::introductionWindow() const
{
    return m_introductionWindow;
}
