#pragma once

#include "CommandLine.h"
#include "platform/SingleInstance.h"

#include <QByteArray>
#include <QList>
#include <QUrl>

#include <optional>

class Tessary;

// The messages by which a start of Tessary hands its command line to the running copy, and the
// running copy's side of them. Each is a JSON object: a request names what to do ("menu",
// "destinations" for the Destinations window, "quick-zip-clipboard" for the quick-zip window by
// keyboard, or "zip" with the items' paths as base64 of their bytes, the Destination's name or the
// custom zip window); the answer carries the result the command line prints and exits with.
namespace HandOver {

QByteArray menuRequest();
QByteArray destinationsRequest();
QByteArray quickZipClipboardRequest();
QByteArray zipRequest(CommandLine::Mode mode, const QString &destinationName, const QList<QUrl> &urls);
QByteArray resultMessage(const CommandLine::Result &result);
/// Nothing when the message is not a result.
std::optional<CommandLine::Result> resultFromMessage(const QByteArray &message);

/// Where a copy of Tessary runs (or is starting), hands it the command line's request: a zip
/// mode's zip, opening its Destinations window or its quick-zip window, or, for ModeRun, opening
/// its menu; the status then. Nothing when this process is to do the work itself: for the modes
/// that live in the tray it has then become the running copy.
std::optional<int> handOverToRunningCopy(const CommandLine &commandLine, SingleInstance &instance);

/// Runs a handed-over request on the running copy, exactly as a drop, and replies with its
/// result once it has ended; a request whose asker goes away first is cancelled. False, and
/// nothing done, for a message that is no request.
bool serve(Tessary &controller, const QByteArray &request, const SingleInstance::Reply &reply, const QObject *asker);

} // namespace HandOver
