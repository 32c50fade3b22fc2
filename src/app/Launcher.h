#pragma once

#include <QObject>
#include <QPointer>

class IntroductionDialog;
class Settings;

// The steps of a start that concern the user: whether Tessary can run here, and, once ever, the
// introduction and joining the programs that start with the session. It also opens the
// introduction when the user asks for it again.
class Launcher final : public QObject
{
    Q_OBJECT

public:
    explicit Launcher(Settings &settings, QObject *parent = nullptr);

    /// Whether Tessary can run here (an X11 display for the pad); otherwise an alert says what
    /// it needs and the program ends 1.0 s after it is closed.
    bool performSystemVersionCheck();
    /// Once ever: opens the introduction, with the reminder on skipping; and adds Tessary to the
    /// programs that start with the session (never again once done, even when the user removes
    /// it). A failure to add it is told, and tried again at the next start.
    void performFirstLaunchSetup();
    /// Opens the introduction on its first page; one that is open already is closed first.
    void showIntroduction(bool showSkipReminderMessage);
    /// The introduction while it is open; null otherwise.
    IntroductionDialog *introductionWindow() const;

private:
    Settings &m_settings;
    QPointer<IntroductionDialog> m_introductionWindow;
};
