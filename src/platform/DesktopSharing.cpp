#include "DesktopSharing.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusPendingCallWatcher>
#include <QDBusReply>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

using namespace Qt::Literals::StringLiterals;

const QString DesktopSharing::KdeConnectService = u"org.kde.kdeconnect"_s;

namespace {

SharingServices *&installed()
{
    static SharingServices *services = nullptr;
    return services;
}

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

SharingServices &SharingServices::instance()
{
    static DesktopSharing desktop;
    return installed() != nullptr ? *installed() : desktop;
}

void SharingServices::setInstance(SharingServices *services)
{
    installed() = services;
}

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

QString DesktopSharing::findDevice(const QString &plugin, QString &problem)
{
    const QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface()->isServiceRegistered(KdeConnectService)) {
        problem = u"KDE Connect is not running. Install KDE Connect and pair your phone with this computer to "
                  "send Tessary Archives from here."_s;
        return {};
    }
    const QDBusMessage call = QDBusMessage::createMethodCall(KdeConnectService, u"/modules/kdeconnect"_s,
                                  u"org.kde.kdeconnect.daemon"_s, u"devices"_s)
        << true << true;
    const QDBusReply<QStringList> devices = bus.call(call);
    for (const QString &device : devices.value()) {
        const QDBusMessage check = QDBusMessage::createMethodCall(KdeConnectService, kDevicesPath + device,
                                       u"org.kde.kdeconnect.device"_s, u"isPluginEnabled"_s)
            << plugin;
        const QDBusReply<bool> enabled = bus.call(check);
        if (enabled.isValid() && enabled.value())
            return device;
    }
    problem = u"No device paired with KDE Connect can be reached. Pair your phone or computer with this one, "
              "turn it on nearby, and try again."_s;
    return {};
}

void DesktopSharing::callDevice(const QString &path, const QString &interface, const QString &method,
    const QVariantList &arguments, const Completion &completion)
{
    QDBusMessage call = QDBusMessage::createMethodCall(KdeConnectService, path, interface, method);
    call.setArguments(arguments);
    auto *watcher
        = new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(call), QCoreApplication::instance());
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher, [completion](QDBusPendingCallWatcher *done) {
        completion(done->isError() ? u"KDE Connect could not send it: %1"_s.arg(done->error().message()) : QString());
        done->deleteLater();
    });
}

void DesktopSharing::composeMessage(
    const QString &text, const QStringList &recipients, const QString &attachmentPath, const Completion &completion)
{
    QString problem;
    const QString device = findDevice(u"kdeconnect_sms"_s, problem);
    if (device.isEmpty()) {
        completion(problem);
        return;
    }
    qDBusRegisterMetaType<ConversationAddress>();
    QVariantList addresses;
    for (const QString &recipient : recipients)
        addresses << QVariant::fromValue(ConversationAddress {recipient});
    QVariantList attachments;
    if (!attachmentPath.isEmpty())
        attachments << QUrl::fromLocalFile(attachmentPath).toString();
    callDevice(kDevicesPath + device + u"/sms"_s, u"org.kde.kdeconnect.device.sms"_s, u"sendSms"_s,
        {QVariant(addresses), text, QVariant(attachments), qint64(-1)}, completion);
}

void DesktopSharing::shareNearby(const QString &filePath, const Completion &completion)
{
    QString problem;
    const QString device = findDevice(u"kdeconnect_share"_s, problem);
    if (device.isEmpty()) {
        completion(problem);
        return;
    }
    callDevice(kDevicesPath + device + u"/share"_s, u"org.kde.kdeconnect.device.share"_s, u"shareUrl"_s,
        {QUrl::fromLocalFile(filePath).toString()}, completion);
}
