#include "DestinationFTP.h"

#include "support/KeyedCoder.h"

using namespace Qt::Literals::StringLiterals;

namespace {
const QString kServerAddressKey = u"Server Address"_s;
const QString kServerPortKey = u"Server Port"_s;
const QString kUserNameKey = u"Server User Name"_s;
const QString kPasswordKey = u"Server Password"_s;
const QString kUploadFolderPathKey = u"Upload Folder Path"_s;
const QString kConfirmExistingUploadsKey = u"Confirm Existing Uploads"_s;
} // namespace

DestinationFTP::DestinationFTP(const QString &name)
    : Destination(internalFolderPath(), name)
{
}

DestinationFTP::DestinationFTP(const KeyedCoder &coder)
    : Destination(coder)
    , m_serverAddress(coder.decodeString(kServerAddressKey))
    , m_serverPort(coder.decodeInt64(kServerPortKey))
    , m_userName(coder.decodeString(kUserNameKey))
    , m_password(coder.decodeString(kPasswordKey))
    , m_uploadFolderPath(coder.decodeString(kUploadFolderPathKey))
    , m_confirmReplacementOfExistingFiles(coder.decodeBool(kConfirmExistingUploadsKey))
{
}

void DestinationFTP::defineIcon()
{
    defineIconNamed(u"FTPIcon"_s);
}

void DestinationFTP::encodeWithCoder(KeyedCoder &coder) const
{
    coder.encodeString(kServerAddressKey, m_serverAddress);
    coder.encodeInt64(kServerPortKey, m_serverPort);
    coder.encodeString(kUserNameKey, m_userName);
    coder.encodeString(kPasswordKey, m_password);
    coder.encodeString(kUploadFolderPathKey, m_uploadFolderPath);
    coder.encodeBool(kConfirmExistingUploadsKey, m_confirmReplacementOfExistingFiles);
    Destination::encodeWithCoder(coder);
}
