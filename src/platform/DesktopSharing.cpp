#include "DesktopSharing.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusPendingCallWatcher>
#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

using namespace Qt::Literals::StringLiterals;

const QString DesktopSharing::KdeConnectService = u"org.kde.kdeconnect"_s;

namespace {

const QString kDevicesPath = u"/modules/kdeconnect/devices/"_s;

// KDE Connect's address of a conversation: a structure holding the address text.
struct ConversationAddress
{
    QString address;
};

QDBusArgument &operator<<(QDBusArgument &argument, const ConversationAddress &value)
{
    argument.beginStructure();
    argument << value.address;
    argument.endStructure();
    return argument;
}

const QDBusArgument &operator>>(const QDBusArgument &argument, ConversationAddress &value)
{
    argument.beginStructure();
    argument >> value.address;
    argument.endStructure();
    return argument;
}

} // namespace

Q_DECLARE_METATYPE(ConversationAddress)

void DesktopSharing::composeEmail(const QString &subject, const QString &body, const QStringList &recipients,
    const QString &attachmentPath, const Completion &completion)
{
    static const QString problem
        = u"No e-mail program could be opened. Install one (Thunderbird, Evolution or KMail, for example) and make "
          "it your default to send Tessary Archives by e-mail."_s;
    const QString tool = QStandardPaths::findExecutable(u"xdg-email"_s);
    if (tool.isEmpty()) {
        completion(problem);
        return;
    }
    QStringList arguments {u"--utf8"_s, u"--subject"_s, subject, u"--body"_s, body};
    if (!attachmentPath.isEmpty())
        arguments << u"--attach"_s << attachmentPath;
    arguments << recipients;
    auto *process = new QProcess(QCoreApplication::instance());
    process->setStandardInputFile(QProcess::nullDevice());
    QObject::connect(
        process, &QProcess::finished, process, [process, completion](int code, QProcess::ExitStatus status) {
            completion(status == QProcess::NormalExit && code == 0 ? QString() : problem);
            process->deleteLater();
        });
    QObject::connect(process, &QProcess::errorOccurred, process, [process, completion](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart) {
            completion(problem);
            process->deleteLater();
        }
    });
    process->start(tool, arguments);
}

void DesktopSharing::callDevice(const QString &plugin, const QString &interface, const QString &method,
    const QVariantList &arguments, const Completion &completion)
{
    const QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface()->isServiceRegistered(KdeConnectService)) {
        completion(u"KDE Connect is not running. Install KDE Connect and pair your phone with this computer to "
                   "send Tessary Archives from here."_s);
        return;
    }
    const QDBusMessage devices = QDBusMessage::createMethodCall(KdeConnectService, u"/modules/kdeconnect"_s,
                                     u"org.kde.kdeconnect.daemon"_s, u"devices"_s)
        << true << true;
    auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(devices), QCoreApplication::instance());
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher, [=](QDBusPendingCallWatcher *found) {
        found->deleteLater();
        const QDBusPendingReply<QStringList> reply = *found;
        if (reply.isError() || reply.value().isEmpty()) {
            completion(u"No device paired with KDE Connect can be reached. Pair your phone or computer with this "
                       "one, turn it on nearby, and try again."_s);
            return;
        }
        QDBusMessage call = QDBusMessage::createMethodCall(
            KdeConnectService, kDevicesPath + reply.value().first() + u'/' + plugin, interface, method);
        call.setArguments(arguments);
        auto *sending
            = new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(call), QCoreApplication::instance());
        QObject::connect(
            sending, &QDBusPendingCallWatcher::finished, sending, [completion](QDBusPendingCallWatcher *done) {
                done->deleteLater();
                completion(
                    done->isError() ? u"KDE Connect could not send it: %1"_s.arg(done->error().message()) : QString());
            });
    });
}

void DesktopSharing::composeMessage(
    const QString &text, const QStringList &recipients, const QString &attachmentPath, const Completion &completion)
{
    qDBusRegisterMetaType<ConversationAddress>();
    QVariantList addresses;
    for (const QString &recipient : recipients)
        addresses << QVariant::fromValue(ConversationAddress {recipient});
    QVariantList attachments;
    if (!attachmentPath.isEmpty())
        attachments << QUrl::fromLocalFile(attachmentPath).toString(QUrl::FullyEncoded);
    callDevice(u"sms"_s, u"org.kde.kdeconnect.device.sms"_s, u"sendSms"_s,
        {QVariant(addresses), text, QVariant(attachments), qint64(-1)}, completion);
}

void DesktopSharing::shareNearby(const QString &filePath, const Completion &completion)
{
    callDevice(u"share"_s, u"org.kde.kdeconnect.device.share"_s, u"shareUrl"_s,
        {QUrl::fromLocalFile(filePath).toString(QUrl::FullyEncoded)}, completion);
}

void DesktopSharing::copyToClipboard(const QString &text)
{
    QGuiApplication::clipboard()->setText(text);
}
