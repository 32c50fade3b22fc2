#include "CommandLine.h"

#include "Tessary.h"

#include <QCommandLineParser>
#include <QRegularExpression>
#include <QTextStream>

#include <cstdio>

using namespace Qt::Literals::StringLiterals;

namespace {
const QString kListDestinationsOption = u"list-destinations"_s;

QCommandLineParser &configuredParser(QCommandLineParser &parser)
{
    parser.setApplicationDescription(
        u"Tessary zips files into an archive, optionally with a password, and delivers it to a Destination."_s);
    parser.addOption({kListDestinationsOption, u"Print your Destinations, one name a line, in tile order."_s});
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
    if (!parser.parse(arguments)) {
        commandLine.m_mode = ModeUsageError;
        commandLine.m_errorText = parser.errorText();
    } else if (parser.isSet(u"help"_s)) {
        commandLine.m_mode = ModeHelp;
    } else if (parser.isSet(u"version"_s)) {
        commandLine.m_mode = ModeVersion;
    } else if (!parser.positionalArguments().isEmpty()) {
        commandLine.m_mode = ModeUsageError;
        commandLine.m_errorText = u"Unexpected argument: %1"_s.arg(parser.positionalArguments().constFirst());
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
        controller.createDestinations();
        for (const DestinationPointer &destination : controller.destinations())
            out << destination->name() << '\n';
        return ExitSuccess;
    }
    case ModeRun:
        break;
    }
    return ExitSuccess;
}
