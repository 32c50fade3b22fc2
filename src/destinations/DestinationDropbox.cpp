#include "DestinationDropbox.h"

#include "DropboxManager.h"
#include "app/Tessary.h"
#include "support/KeyedCoder.h"

using namespace Qt::Literals::StringLiterals;

namespace {
const QString kRevealKey = u"Reveal"_s;
const QString kCreateShareLinkKey = u"Create Share Link"_s;
const QString kSendShareLinkKey = u"Send Share Link"_s;
const QString kSendLinkMethodKey = u"Send Link Method"_s;
} // namespace

DestinationDropbox::DestinationDropbox(const QString &name)
    : Destination(QString(), name)
{
    defineRootFolderPath();
}

DestinationDropbox::DestinationDropbox(const KeyedCoder &coder)
    : Destination(coder)
    , m_createShareLinks(coder.decodeBool(kCreateShareLinkKey))
    , m_sendShareLinks(coder.decodeBool(kSendShareLinkKey))
    , m_sendLinkMethod(static_cast<qint32>(coder.decodeInt64(kSendLinkMethodKey)))
    , m_revealZipUponCreation(coder.decodeBool(kRevealKey))
{
    defineRootFolderPath();
}

void DestinationDropbox::defineRootFolderPath()
{
    const QString dropboxFolder = gTessary != nullptr ? gTessary->dropboxManager()->dropboxFolderPath() : QString();
    setRootFolderPath(dropboxFolder.isEmpty() ? QString() : dropboxFolder + u"/Apps/Tessary"_s);
}

void DestinationDropbox::defineIcon()
{
    defineIconNamed(u"DropboxIcon"_s);
}

void DestinationDropbox::encodeWithCoder(KeyedCoder &coder) const
{
    coder.encodeBool(kRevealKey, m_revealZipUponCreation);
    coder.encodeBool(kCreateShareLinkKey, m_createShareLinks);
    coder.encodeBool(kSendShareLinkKey, m_sendShareLinks);
    coder.encodeInt64(kSendLinkMethodKey, m_sendLinkMethod);
    Destination::encodeWithCoder(coder);
}
