#include "DestinationEmail.h"

#include "support/KeyedCoder.h"

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

void DestinationEmail::defineIcon()
{
    defineIconNamed(u"EmailIcon"_s);
}

void DestinationEmail::encodeWithCoder(KeyedCoder &coder) const
{
    coder.encodeStringList(kEmailAddressesKey, m_emailAddresses);
    coder.encodeString(kSubjectKey, m_subject);
    coder.encodeString(kBodyKey, m_body);
    coder.encodeBool(kHasBeenConfiguredKey, m_hasBeenConfigured);
    Destination::encodeWithCoder(coder);
}
