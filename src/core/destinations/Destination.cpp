#include "Destination.h"

#include "core/support/KeyedCoder.h"
#include "core/support/UserInteraction.h"
#include "core/support/Utilities.h"

#include <QDir>

using namespace Qt::Literals::StringLiterals;

namespace {
const QString kFolderPathKey = u"Folder Path"_s;
const QString kNameKey = u"Name"_s;
const QString kTagKey = u"Tag"_s;
} // namespace

Destination::Destination(const QString &rootFolderPath, const QString &name)
    : m_rootFolderPath(rootFolderPath)
    , m_name(name)
{
}

Destination::Destination(const KeyedCoder &coder)
    : m_rootFolderPath(coder.decodeString(kFolderPathKey))
    , m_name(coder.decodeString(kNameKey))
    , m_tag(coder.decodeInt64(kTagKey))
{
}

Destination::~Destination() = default;

QString Destination::internalFolderPath()
{
    return Utilities::filePathForSystemFolderWithID(QStandardPaths::GenericDataLocation) + u"/Tessary/Archives"_s;
}

void Destination::encodeWithCoder(KeyedCoder &coder) const
{
    coder.encodeString(kFolderPathKey, m_rootFolderPath);
    coder.encodeString(kNameKey, m_name);
    coder.encodeInt64(kTagKey, m_tag);
}

Destination::DestinationType Destination::type() const
{
    return DestinationTypeGeneric;
}

Destination::Traits Destination::traits() const
{
    return {Deletable, Renamable, Interactive, ShowsCreatedNotice};
}

bool Destination::shouldRevealZipUponCreation() const
{
    return false;
}

void Destination::configureWithCompletion(const ConfigureCompletion &completion)
{
    if (traits().testFlag(Configurable) && m_editing != nullptr)
        m_editing->configure(*this, completion);
    else if (completion)
        completion(false);
}

void Destination::rename()
{
    if (m_editing != nullptr)
        m_editing->rename(*this);
}

void Destination::handleClickAction() { }

std::shared_ptr<Operation> Destination::postZipOperationWithPathToCreatedZipArchive(const QString &archivePath)
{
    Q_UNUSED(archivePath);
    return nullptr;
}

QString Destination::iconName() const
{
    return {};
}

void Destination::destinationWillBeUsedWithURLsToZip(const QList<QUrl> &urls, const WillBeUsedCompletion &completion)
{
    Q_UNUSED(urls);
    completion(prepareFinalFolder());
}

UserInteraction &Destination::user() const
{
    return m_user != nullptr ? *m_user : UserInteraction::standardError();
}

Error Destination::prepareFinalFolder() const
{
    // No folder (a damaged Destinations file) must never mean the top of the file system.
    if (m_rootFolderPath.isEmpty())
        return Error::refusal(u"No Folder Set"_s,
            u"No folder is set for the Destination \"%1\", so no archive was made. Choose its folder again."_s.arg(
                m_name));
    // A job folder is made when a job asks for its final folder; here only the folder that holds it.
    const QString folder = m_rootFolderPath == internalFolderPath() ? m_rootFolderPath : finalFolderPath();
    if (!QDir().mkpath(folder))
        return Error::refusal(u"Folder Not Made"_s,
            u"The folder \"%1\" of the Destination \"%2\" could not be made, so no archive was made. Check that "
            "you may write there."_s.arg(m_rootFolderPath, m_name));
    return {};
}

void Destination::destinationWasUsedWithArchivePath(const QString &archivePath, const DeliveryCompletion &delivered)
{
    Q_UNUSED(archivePath);
    delivered({});
}

QString Destination::finalFolderPath() const
{
    if (m_rootFolderPath != internalFolderPath())
        return m_rootFolderPath;
    const QString jobFolder = u"%1/%2"_s.arg(m_rootFolderPath, Utilities::generateUUID());
    QDir().mkpath(jobFolder);
    return jobFolder;
}
