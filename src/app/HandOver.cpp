#include "HandOver.h"

#include "Tessary.h"
#include "core/pipeline/ThreadHops.h"
#include "core/support/FileNames.h"
#include "gui/statusitem/StatusItem.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QThread>

using namespace Qt::Literals::StringLiterals;

namespace {
const QString kRequestKey = u"request"_s;
const QString kMenuRequest = u"menu"_s;
const QString kDestinationsRequest = u"destinations"_s;
const QString kQuickZipClipboardRequest = u"quick-zip-clipboard"_s;
const QString kZipRequest = u"zip"_s;
const QString kCustomKey = u"custom"_s;
const QString kDestinationKey = u"destination"_s;
const QString kItemsKey = u"items"_s;
const QString kStatusKey = u"status"_s;
const QString kOutKey = u"out"_s;
const QString kErrKey = u"err"_s;
constexpr qint64 kStartingCopyWaitMs = 10000;
constexpr unsigned long kStartingCopyPollMs = 100;

std::optional<QJsonObject> objectOf(const QByteArray &message)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(message, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    return document.object();
}

QByteArray messageOf(const QJsonObject &object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

// The items of a zip request: absolute paths, every byte kept; nothing when one is not.
std::optional<QList<QUrl>> itemsOf(const QJsonValue &value)
{
    if (!value.isArray() || value.toArray().isEmpty())
        return std::nullopt;
    QList<QUrl> urls;
    for (const QJsonValue &item : value.toArray()) {
        const QByteArray::FromBase64Result bytes
            = QByteArray::fromBase64Encoding(item.toString().toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
        if (!item.isString() || !bytes || !bytes.decoded.startsWith('/'))
            return std::nullopt;
        urls << FileNames::fileURL(FileNames::decode(bytes.decoded));
    }
    return urls;
}
} // namespace

QByteArray HandOver::menuRequest()
{
    return messageOf({{kRequestKey, kMenuRequest}});
}

QByteArray HandOver::destinationsRequest()
{
    return messageOf({{kRequestKey, kDestinationsRequest}});
}

QByteArray HandOver::quickZipClipboardRequest()
{
    return messageOf({{kRequestKey, kQuickZipClipboardRequest}});
}

QByteArray HandOver::zipRequest(CommandLine::Mode mode, const QString &destinationName, const QList<QUrl> &urls)
{
    QJsonArray items;
    for (const QUrl &url : urls)
        items.append(QString::fromLatin1(FileNames::encode(FileNames::localPath(url)).toBase64()));
    return messageOf({{kRequestKey, kZipRequest}, {kCustomKey, mode == CommandLine::ModeCustomZip},
        {kDestinationKey, destinationName}, {kItemsKey, items}});
}

QByteArray HandOver::resultMessage(const CommandLine::Result &result)
{
    return messageOf({{kStatusKey, result.status}, {kOutKey, result.out}, {kErrKey, result.err}});
}

std::optional<CommandLine::Result> HandOver::resultFromMessage(const QByteArray &message)
{
    const std::optional<QJsonObject> object = objectOf(message);
    if (!object || !object->value(kStatusKey).isDouble())
        return std::nullopt;
    return CommandLine::Result {
        object->value(kStatusKey).toInt(), object->value(kOutKey).toString(), object->value(kErrKey).toString()};
}

bool HandOver::serve(
    Tessary &controller, const QByteArray &request, const SingleInstance::Reply &reply, const QObject *asker)
{
    const std::optional<QJsonObject> object = objectOf(request);
    if (!object)
        return false;
    const QString kind = object->value(kRequestKey).toString();
    // The work is done once the socket has finished handing the request over: a request may
    // ask its questions in dialogs.
    if (kind == kMenuRequest) {
        runOnMainThread(&controller, [&controller] {
            if (controller.statusItem() != nullptr)
                controller.statusItem()->popUpMenuAtPad();
        });
        reply(resultMessage({CommandLine::ExitSuccess, {}, {}}));
        return true;
    }
    if (kind == kDestinationsRequest) {
        runOnMainThread(&controller, [&controller] { controller.configureDestinationsSelected(); });
        reply(resultMessage({CommandLine::ExitSuccess, {}, {}}));
        return true;
    }
    if (kind == kQuickZipClipboardRequest) {
        runOnMainThread(&controller, [&controller] { controller.quickZipCopiedFiles(); });
        reply(resultMessage({CommandLine::ExitSuccess, {}, {}}));
        return true;
    }
    const std::optional<QList<QUrl>> urls = itemsOf(object->value(kItemsKey));
    if (kind != kZipRequest || !urls || !object->value(kCustomKey).isBool()
        || !object->value(kDestinationKey).isString())
        return false;
    const CommandLine::Mode mode
        = object->value(kCustomKey).toBool() ? CommandLine::ModeCustomZip : CommandLine::ModeZip;
    runOnMainThread(
        asker, [&controller, mode, name = object->value(kDestinationKey).toString(), urls = *urls, reply, asker] {
            CommandLine::startZipRequest(
                controller, mode, name, urls,
                [reply](const CommandLine::Result &result) { reply(resultMessage(result)); }, asker);
        });
    return true;
}

std::optional<int> HandOver::handOverToRunningCopy(const CommandLine &commandLine, SingleInstance &instance)
{
    QByteArray request;
    const bool staysRunning = commandLine.livesInTray();
    if (commandLine.mode() == CommandLine::ModeRun) {
        request = menuRequest();
    } else if (commandLine.mode() == CommandLine::ModeDestinations) {
        request = destinationsRequest();
    } else if (commandLine.mode() == CommandLine::ModeQuickZipClipboard) {
        request = quickZipClipboardRequest();
    } else {
        const std::optional<QList<QUrl>> urls = commandLine.itemURLs();
        if (!urls)
            return CommandLine::ExitUsageError;
        request = zipRequest(commandLine.mode(), commandLine.destinationName(), *urls);
    }
    if (const QString problem = SingleInstance::folderProblem(); !problem.isNull())
        return CommandLine::print({CommandLine::ExitJobFailed, {}, u"tessary: "_s + problem + u'\n'});
    // A copy that is starting holds the lock before it listens: it is waited for.
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < kStartingCopyWaitMs) {
        QString refusal;
        const std::optional<QByteArray> answer = SingleInstance::askRunningCopy(request, &refusal);
        if (!refusal.isNull())
            return CommandLine::print({CommandLine::ExitJobFailed, {}, u"tessary: "_s + refusal + u".\n"_s});
        if (answer) {
            if (const std::optional<CommandLine::Result> result = resultFromMessage(*answer))
                return CommandLine::print(*result);
            return CommandLine::print(
                {CommandLine::ExitJobFailed, {}, u"tessary: the running Tessary ended before it answered.\n"_s});
        }
        if (staysRunning ? instance.becomeRunningCopy() : !SingleInstance::isLockHeld())
            return std::nullopt;
        QThread::msleep(kStartingCopyPollMs);
    }
    return CommandLine::print(
        {CommandLine::ExitJobFailed, {}, u"tessary: another Tessary is starting and does not answer.\n"_s});
}
