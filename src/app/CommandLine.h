#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>
#include <optional>

class Tessary;

// What Tessary was asked to do on its command line, and the work of the modes that end by
// themselves: a file manager or a script hands files to Tessary here.
class CommandLine final
{
public:
    enum Mode {
        ModeRun, ///< live in the tray
        ModeDestinations, ///< live in the tray with the Destinations window open
        ModeQuickZipClipboard, ///< live in the tray, with the quick-zip window down for the files copied
        ModeZip, ///< zip FILEs to a Destination, as a drop on its tile, then exit
        ModeCustomZip, ///< zip FILEs through the custom zip window, as a drop on the drop pad
        ModeListDestinations, ///< print the Destinations and exit
        ModeHelp,
        ModeVersion,
        ModeUsageError,
    };

    /// What a zip request of the command line ends with: its status and what it prints.
    struct Result
    {
        int status = 0;
        QString out;
        QString err;
    };

    /// Exit statuses of the modes that end by themselves.
    static constexpr int ExitSuccess = 0;
    static constexpr int ExitJobFailed = 1;
    static constexpr int ExitUsageError = 2;
    static constexpr int ExitCancelled = 3;

    /// Reads the arguments (the program name first).
    static CommandLine parse(const QStringList &arguments);

    Mode mode() const { return m_mode; }
    /// Whether the mode runs the program in the tray until the user quits it.
    bool livesInTray() const
    {
        return m_mode == ModeRun || m_mode == ModeDestinations || m_mode == ModeQuickZipClipboard;
    }
    /// What went wrong, for ModeUsageError.
    QString errorText() const { return m_errorText; }
    /// The name of the Destination (ModeZip) and the items (ModeZip, ModeCustomZip).
    QString destinationName() const { return m_destinationName; }
    QStringList files() const { return m_files; }
    static QString helpText();

    /// The work of the modes that need no screen; their exit status.
    int run() const;
    /// The work of ModeZip and ModeCustomZip, which may ask questions: needs the widgets
    /// application. Its status.
    int runZip() const;

    /// Starts a zip mode's request on the controller, as a drop would; ended gets its result. A
    /// request whose asker (where one is given) goes away is cancelled.
    static void startZipRequest(Tessary &controller, Mode mode, const QString &destinationName, const QList<QUrl> &urls,
        const std::function<void(const Result &result)> &ended, const QObject *asker = nullptr);
    /// Prints the result; its status.
    static int print(const Result &result);

    /// The FILEs as URLs; nothing, and the reason on standard error, when one does not exist.
    std::optional<QList<QUrl>> itemURLs() const;

private:
    Mode m_mode = ModeRun;
    QString m_errorText;
    QString m_destinationName;
    QStringList m_files;
};
