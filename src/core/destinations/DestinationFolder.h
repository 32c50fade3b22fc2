#pragma once

#include "Destination.h"

// Writes the archive into a folder the user chose. A folder that is gone stops the request with
// a message naming it; it is never made again.
class DestinationFolder final : public Destination
{
    Q_OBJECT

public:
    DestinationFolder(const QString &rootFolderPath, const QString &name);
    explicit DestinationFolder(const KeyedCoder &coder);

    DestinationType type() const override { return DestinationTypeFolder; }
    void destinationWillBeUsedWithURLsToZip(const QList<QUrl> &urls, const WillBeUsedCompletion &completion) override;
    QString iconName() const override;
    void encodeWithCoder(KeyedCoder &coder) const override;
    bool shouldRevealZipUponCreation() const override { return m_revealZipUponCreation; }

    bool revealZipUponCreation() const { return m_revealZipUponCreation; }
    void setRevealZipUponCreation(bool reveal) { m_revealZipUponCreation = reveal; }

private:
    bool m_revealZipUponCreation = false;
};
