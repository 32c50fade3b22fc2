#include "CommandLine.h"

#include "Tessary.h"
#include "ZipRequests.h"

#include "core/destinations/DestinationListModel.h"
#include "core/support/FileNames.h"
#include "core/support/Utilities.h"
#include "gui/support/UtilitiesWindows.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QRegularExpression>
#include <QTextStream>
#include <QTimer>
#include <QWidget>

#include <optional>

using namespace Qt::Literals::StringLiterals;

namespace {
const QString kListDestinationsOption = u"list-destinations"_s;
const QString kDestinationOption = u"destination"_s;
const QString kDestinationsOption = u"destinations"_s;
const QString kQuickZipClipboardOption = u"quick-zip-clipboard"_s;
constexpr int kWindowsGonePollMs = 100;

QCommandLineParser &configuredParser(QCommandLineParser &parser)
{
    parser.setApplicationDescription(
        u"Tessary zips files into an archive, optionally with a password, and delivers it to a Destination.\n"
        "\n"
        "With --destination, the FILEs (files or folders) are zipped to the Destination of that name, just as\n"
        "when they are dropped on its tile: the naming and password policies apply, and their dialogs appear.\n"
        "Without it, one dialog asks for name, password and Destination, as for a drop on the drop pad.\n"
        "Tessary exits when the request has ended: with status 0 and the archive's full path on standard\n"
        "output, 1 when the job or the delivery failed (the error goes to standard error and says where a\n"
        "made archive was kept), 3 when it was cancelled, and 2 for a usage error, a missing FILE or an\n"
        "unknown Destination. Ended by a signal, it stops the job and removes what was half-written (status\n"
        "128 + the signal). Without a screen, every question is answered with Cancel."_s);
    parser.addOption({kDestinationOption, u"Zip the FILEs to the Destination called <name>."_s, u"name"_s});
    parser.addOption({kListDestinationsOption, u"Print your Destinations, one name a line, in tile order."_s});
    parser.addOption({kDestinationsOption,
        u"Open the Destinations window of the running Tessary (starting Tessary if none runs)."_s});
    parser.addOption({kQuickZipClipboardOption,
        u"Drop the quick-zip window down from the drop pad of the running Tessary (starting Tessary if none runs) "
        "for the files copied to the clipboard: the arrow keys move, Return zips to the Destination chosen, "
        "Escape closes. Made for a keyboard shortcut."_s});
    parser.addPositionalArgument(u"FILE"_s, u"A file or folder to zip."_s, u"[FILE...]"_s);
    parser.addHelpOption();
    parser.addVersionOption();
    return parser;
}
} // namespace

CommandLine CommandLine::parse(const QStringList &arguments)
{
    QCommandLineParser parser;
    configuredParser(parser);
    CommandLine commandLine;
    const auto fail = [&commandLine](const QString &text) {
        commandLine.m_mode = ModeUsageError;
        commandLine.m_errorText = text;
        return commandLine;
    };
    if (!parser.parse(arguments))
        return fail(parser.errorText());
    if (parser.isSet(u"help"_s)) {
        commandLine.m_mode = ModeHelp;
    } else if (parser.isSet(u"version"_s)) {
        commandLine.m_mode = ModeVersion;
    } else if (parser.isSet(kDestinationsOption) || parser.isSet(kQuickZipClipboardOption)) {
        const bool destinations = parser.isSet(kDestinationsOption);
        QStringList options = parser.optionNames();
        options.removeDuplicates();
        if (options.size() > 1 || !parser.positionalArguments().isEmpty())
            return fail(u"--%1 takes no FILE and no other option."_s.arg(
                destinations ? kDestinationsOption : kQuickZipClipboardOption));
        commandLine.m_mode = destinations ? ModeDestinations : ModeQuickZipClipboard;
    } else if (parser.isSet(kDestinationOption)) {
        if (parser.isSet(kListDestinationsOption))
            return fail(u"--destination and --list-destinations cannot be used together."_s);
        if (parser.positionalArguments().isEmpty())
            return fail(u"Nothing to zip: name at least one FILE after --destination."_s);
        commandLine.m_mode = ModeZip;
        commandLine.m_destinationName = parser.value(kDestinationOption);
        commandLine.m_files = parser.positionalArguments();
    } else if (!parser.positionalArguments().isEmpty()) {
        if (parser.isSet(kListDestinationsOption))
            return fail(u"--list-destinations takes no FILE."_s);
        commandLine.m_mode = ModeCustomZip;
        commandLine.m_files = parser.positionalArguments();
    } else if (parser.isSet(kListDestinationsOption)) {
        commandLine.m_mode = ModeListDestinations;
    }
    return commandLine;
}

QString CommandLine::helpText()
{
    QCommandLineParser parser;
    // The parser names the program by the path it was started with; the help names it plainly.
    static const QRegularExpression usageLine(u"^Usage: \\S+"_s);
    return configuredParser(parser).helpText().replace(usageLine, u"Usage: tessary"_s);
}

int CommandLine::run() const
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    switch (m_mode) {
    case ModeHelp:
        out << helpText();
        return ExitSuccess;
    case ModeVersion:
        out << "tessary " << TESSARY_VERSION << '\n';
        return ExitSuccess;
    case ModeUsageError:
        err << "tessary: " << m_errorText << "\n\n" << helpText();
        return ExitUsageError;
    case ModeListDestinations: {
        Tessary controller;
        controller.destinationList()->load();
        for (const DestinationPointer &destination : controller.destinationList()->zippableDestinations())
            out << destination->name() << '\n';
        return ExitSuccess;
    }
    case ModeZip:
    case ModeCustomZip:
    case ModeRun:
    case ModeDestinations:
    case ModeQuickZipClipboard:
        break;
    }
    return ExitSuccess;
}

std::optional<QList<QUrl>> CommandLine::itemURLs() const
{
    QList<QUrl> urls;
    for (const QString &file : m_files) {
        const QString path = QDir::cleanPath(QDir::current().absoluteFilePath(file));
        if (!Utilities::fileExistsAtPath(path)) {
            QTextStream(stderr) << "tessary: no such file or folder: " << file << '\n';
            return std::nullopt;
        }
        urls << FileNames::fileURL(path);
    }
    return urls;
}

void CommandLine::startZipRequest(Tessary &controller, Mode mode, const QString &destinationName,
    const QList<QUrl> &urls, const std::function<void(const Result &result)> &ended, const QObject *asker)
{
    const DestinationList destinations = controller.destinationList()->zippableDestinations();
    const auto named = std::find_if(destinations.cbegin(), destinations.cend(),
        [&destinationName](const DestinationPointer &candidate) { return candidate->name() == destinationName; });
    if (mode == ModeZip && named == destinations.cend()) {
        Result unknown {ExitUsageError, {},
            u"tessary: no Destination is named \"%1\". Your Destinations:\n"_s.arg(destinationName)};
        for (const DestinationPointer &candidate : destinations)
            unknown.err += u"  "_s + candidate->name() + u'\n';
        ended(unknown);
        return;
    }
    const ZipRequests::Completion completion
        = [ended](ZipRequests::Outcome outcome, const QString &archivePath, const Error &error) {
              switch (outcome) {
              case ZipRequests::Outcome::Finished:
                  ended({ExitSuccess, archivePath + u'\n', {}});
                  break;
              case ZipRequests::Outcome::Failed:
                  // Without a screen the alert has written the error already.
                  ended({ExitJobFailed, {},
                      UtilitiesWindows::isNonInteractive() ? QString()
                                                           : u"tessary: "_s + error.localizedFailureReason() + u'\n'});
                  break;
              case ZipRequests::Outcome::Cancelled:
                  ended({ExitCancelled, {}, {}});
                  break;
              }
          };
    if (mode == ModeZip)
        controller.zipRequests()->quickZip(urls, *named, completion, asker);
    else
        controller.zipRequests()->customZip(urls, completion, asker);
}

int CommandLine::print(const Result &result)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    if (!result.out.isEmpty()) {
        out << result.out << Qt::flush;
        // A reader gone from standard output does not undo the archive; say where it is.
        if (out.status() != QTextStream::Ok)
            err << "tessary: the archive's path could not be written to standard output: " << result.out;
    }
    err << result.err << Qt::flush;
    return result.status;
}

int CommandLine::runZip() const
{
    const std::optional<QList<QUrl>> urls = itemURLs();
    if (!urls)
        return ExitUsageError;

    Tessary controller;
    controller.destinationList()->load();
    // The run waits for the request, then for its windows (a notice, a progress window keeping
    // its minimum time) to go, so that the user sees them to the end. Without a screen there is
    // nothing to see: the run ends with the request.
    std::optional<int> status;
    const auto exitOnceWindowsAreGone = [&status] {
        if (!status)
            return;
        const QWidgetList windows = QApplication::topLevelWidgets();
        const bool showing = !UtilitiesWindows::isNonInteractive()
            && std::any_of(windows.cbegin(), windows.cend(), [](const QWidget *window) { return window->isVisible(); });
        if (!showing)
            QApplication::exit(*status);
    };
    startZipRequest(
        controller, m_mode, m_destinationName, *urls, [&status, exitOnceWindowsAreGone](const Result &result) {
            status = print(result);
            QTimer::singleShot(0, exitOnceWindowsAreGone); // once the event loop runs
        });
    if (status == ExitUsageError)
        return *status;

    QTimer poll;
    poll.setInterval(kWindowsGonePollMs);
    QObject::connect(&poll, &QTimer::timeout, exitOnceWindowsAreGone);
    poll.start();
    const int exitStatus = QApplication::exec();
    controller.stopRunningJobs();
    return exitStatus;
}
