#pragma once

#include <QString>
#include <QStringList>

// What Tessary was asked to do on its command line.
class CommandLine final
{
public:
    enum Mode {
        ModeRun,              ///< live in the tray
        ModeListDestinations, ///< print the Destinations and exit
        ModeHelp,
        ModeVersion,
        ModeUsageError,
    };

    /// Exit statuses of the command-line modes.
    static constexpr int ExitSuccess = 0;
    static constexpr int ExitUsageError = 2;

    /// Reads the arguments (the program name first).
    static CommandLine parse(const QStringList &arguments);

    Mode mode() const { return m_mode; }
    /// What went wrong, for ModeUsageError.
    QString errorText() const { return m_errorText; }
    static QString helpText();

    /// The work of the modes that need no screen; their exit status.
    int run() const;

private:
    Mode m_mode = ModeRun;
    QString m_errorText;
};
