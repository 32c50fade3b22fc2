#include "DestinationMessages.h"

#include "SharingDelivery.h"
#include "SharingServices.h"
#include "core/support/KeyedCoder.h"
#include "core/support/Log.h"
#include "core/support/Utilities.h"

using namespace Qt::Literals::StringLiterals;

namespace {
const QString kSubjectKey = u"Subject"_s;
const QString kRecipientsKey = u"Recipients"_s;
} // namespace

DestinationMessages::DestinationMessages(const QString &name)
    : Destination(internalFolderPath(), name)
{
}

DestinationMessages::DestinationMessages(const KeyedCoder &coder)
    : Destination(coder)
    , m_subject(coder.decodeString(kSubjectKey))
    , m_recipients(coder.decodeStringList(kRecipientsKey))
{
}

QString DestinationMessages::iconName() const
{
    return u"MessagesIcon"_s;
}

void DestinationMessages::encodeWithCoder(KeyedCoder &coder) const
{
    coder.encodeString(kSubjectKey, m_subject);
    coder.encodeStringList(kRecipientsKey, m_recipients);
    Destination::encodeWithCoder(coder);
}

void DestinationMessages::destinationWasUsedWithArchivePath(
    const QString &archivePath, const DeliveryCompletion &delivered)
{
    const QString text = m_subject.isEmpty()
        ? u"Hi, here is a Tessary Archive for you: %1\r\rThanks,\r\n%2\r\n\r\n"_s.arg(
            SharingDelivery::archiveName(archivePath), Utilities::fullUserName())
        : m_subject;
    SharingServices::instance().composeMessage(text, m_recipients, archivePath, [delivered](const QString &problem) {
        if (problem.isEmpty())
            Log::handler()(u"Succeeded in sending message"_s);
        else
            Log::handler()(u"FAILED to send message: %1"_s.arg(problem));
        delivered(problem);
    });
}
