#include "DestinationEmail.h"

#include "SharingDelivery.h"
#include "SharingServices.h"
#include "core/support/KeyedCoder.h"
#include "core/support/Utilities.h"

using namespace Qt::Literals::StringLiterals;

namespace {
const QString kEmailAddressesKey = u"Email Addresses"_s;
const QString kSubjectKey = u"Subject"_s;
const QString kBodyKey = u"Body"_s;
const QString kHasBeenConfiguredKey = u"Has Been Configured"_s;
} // namespace

DestinationEmail::DestinationEmail(const QString &name)
    : Destination(internalFolderPath(), name)
{
}

DestinationEmail::DestinationEmail(const KeyedCoder &coder)
    : Destination(coder)
    , m_emailAddresses(coder.decodeStringList(kEmailAddressesKey))
    , m_subject(coder.decodeString(kSubjectKey))
    , m_body(coder.decodeString(kBodyKey))
    , m_hasBeenConfigured(coder.decodeBool(kHasBeenConfiguredKey))
{
}

QString DestinationEmail::iconName() const
{
    return u"EmailIcon"_s;
}

void DestinationEmail::encodeWithCoder(KeyedCoder &coder) const
{
    coder.encodeStringList(kEmailAddressesKey, m_emailAddresses);
    coder.encodeString(kSubjectKey, m_subject);
    coder.encodeString(kBodyKey, m_body);
    coder.encodeBool(kHasBeenConfiguredKey, m_hasBeenConfigured);
    Destination::encodeWithCoder(coder);
}

void DestinationEmail::destinationWasUsedWithArchivePath(
    const QString &archivePath, const DeliveryCompletion &delivered)
{
    const QString subject = m_subject.isEmpty() ? u"A Tessary Archive for You"_s : m_subject;
    const QString body = m_body.isEmpty()
        ? u"Hi, here is a Tessary Archive for you: %1\r\n\r\nThanks,\r\n%2\r\n\r\n"_s.arg(
            SharingDelivery::archiveName(archivePath), Utilities::fullUserName())
        : m_body;
    SharingServices::instance().composeEmail(subject, body, m_emailAddresses, archivePath, delivered);
}
