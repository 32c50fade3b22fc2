#include "DestinationFolder.h"

#include "support/KeyedCoder.h"

using namespace Qt::Literals::StringLiterals;

namespace {
const QString kRevealKey = u"Reveal"_s;
}

DestinationFolder::DestinationFolder(const QString &rootFolderPath, const QString &name)
    : Destination(rootFolderPath, name)
{
}

DestinationFolder::DestinationFolder(const KeyedCoder &coder)
    : Destination(coder)
    , m_revealZipUponCreation(coder.decodeBool(kRevealKey))
{
}

void DestinationFolder::defineIcon()
{
    defineIconNamed(u"FolderIcon"_s);
}

void DestinationFolder::encodeWithCoder(KeyedCoder &coder) const
{
    coder.encodeBool(kRevealKey, m_revealZipUponCreation);
    Destination::encodeWithCoder(coder);
}
