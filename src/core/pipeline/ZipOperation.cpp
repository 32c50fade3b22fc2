#include "ZipOperation.h"

#include "Zipper.h"

using namespace Qt::Literals::StringLiterals;

ZipOperation::ZipOperation(QList<QUrl> items, QString outputFilePath, QString password, ZipEncryption encryption)
    : m_urls(std::move(items))
    , m_outputFilePath(std::move(outputFilePath))
    , m_password(std::move(password))
    , m_encryption(encryption)
{
}

ZipOperation::~ZipOperation() = default;

void ZipOperation::startOperating()
{
    Operation::startOperating();
    setOperationDescription(
        m_password.isEmpty() ? u"Creating Tessary Archive..."_s : u"Creating Secure Tessary Archive..."_s);

    auto zipper = std::make_shared<Zipper>();
    const std::weak_ptr<Operation> weakSelf = weak_from_this();
    zipper->setCompletion([weakSelf](const Error &error, const QString &path) {
        if (const auto self = std::static_pointer_cast<ZipOperation>(weakSelf.lock()))
            self->noteOperationFinishedWithResults(path.isNull() ? QVariant() : QVariant(path), error);
    });
    zipper->setProgressHandler([weakSelf](float progress) {
        if (const auto self = std::static_pointer_cast<ZipOperation>(weakSelf.lock()))
            self->setProgress(progress);
    });
    {
        // A cancel that came while the zipper was being made reaches it here.
        QMutexLocker locker(&m_zipperLock);
        m_zipper = zipper;
        if (isCancelled())
            zipper->cancel();
    }
    zipper->createZipArchiveWithItems(m_urls, m_outputFilePath, m_password, m_encryption);
}

void ZipOperation::cancelOperating()
{
    Operation::cancelOperating();
    QMutexLocker locker(&m_zipperLock);
    if (m_zipper)
        m_zipper->cancel();
}
