#pragma once

#include "Operation.h"
#include "ZipEncryption.h"

#include <QList>
#include <QUrl>

class Zipper;

// The archive job of the pipeline: creates one zip archive of the items at the output path,
// encrypted as asked when a password is given. Always finishes with null results; the archive is at the
// output path, which the caller has made unique.
class ZipOperation final : public Operation
{
public:
    ZipOperation(QList<QUrl> items, QString outputFilePath, QString password, ZipEncryption encryption);
    ~ZipOperation() override;

    QList<QUrl> urls() const { return m_urls; }
    QString outputFilePath() const { return m_outputFilePath; }
    QString password() const { return m_password; }
    ZipEncryption encryption() const { return m_encryption; }

protected:
    void startOperating() override;
    void cancelOperating() override;

private:
    const QList<QUrl> m_urls;
    const QString m_outputFilePath;
    const QString m_password;
    const ZipEncryption m_encryption;

    QMutex m_zipperLock;
    std::shared_ptr<Zipper> m_zipper;
};
