#include "DestinationMessages.h"

#include "support/KeyedCoder.h"

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

void DestinationMessages::defineIcon()
{
    defineIconNamed(u"MessagesIcon"_s);
}

void DestinationMessages::encodeWithCoder(KeyedCoder &coder) const
{
    coder.encodeString(kSubjectKey, m_subject);
    coder.encodeStringList(kRecipientsKey, m_recipients);
    Destination::encodeWithCoder(coder);
}
