#include "Settings.h"

using namespace Qt::Literals::StringLiterals;

namespace {
// The keys, in the order they are saved.
const QString kPasswordRequiredKey = u"Password Required to Change Password"_s;
const QString kLastUsedAskForNameTypeKey = u"Last Used Ask For Name Type"_s;
const QString kLastUsedAskForDestinationTypeKey = u"Last Used Ask For Destination Type"_s;
const QString kQuickZipNameTypeKey = u"Quick Zip Name Type"_s;
const QString kQuickZipPasswordTypeKey = u"Quick Zip Password Type"_s;
const QString kPasswordEncryptionKey = u"Password Encryption"_s;
const QString kProgressWindowXKey = u"Preferred Progress Window X"_s;
const QString kProgressWindowYKey = u"Preferred Progress Window Y"_s;
const QString kDestinationsWindowXKey = u"Preferred Destinations Window X"_s;
const QString kDestinationsWindowYKey = u"Preferred Destinations Window Y"_s;
const QString kQuickZipNameKey = u"Quick Zip Name"_s;
const QString kDropPadLocationKey = u"Drop Pad Location"_s;
const QString kInitialLaunchKey = u"Initial Launch"_s;
const QString kLoginItemInstallCompleteKey = u"Login Item Install Complete"_s;
const QString kFileManagerMenusKey = u"File Manager Menus"_s;
const QString kEmailSizeLimitKey = u"Email Size Limit"_s;

// A stored flag: true for a real true, or for text that starts with Y, T or a digit 1-9
// (after blanks), as the settings file keeps flags as text.
bool flag(const QVariant &value)
{
    if (value.typeId() != QMetaType::QString)
        return value.toBool();
    const QString text = value.toString().trimmed();
    const QChar first = text.isEmpty() ? QChar() : text.front().toUpper();
    return first == u'Y' || first == u'T' || (first >= u'1' && first <= u'9');
}
} // namespace

Settings::Settings()
{
    // Stored integers are read back as signed 32-bit values and locations at single precision;
    // a value that is no number reads as 0.
    const auto integer = [this](const QString &key) { return static_cast<qint32>(m_store.value(key).toLongLong()); };
    const auto location = [this](const QString &xKey, const QString &yKey) {
        return QPointF(
            static_cast<float>(m_store.value(xKey).toDouble()), static_cast<float>(m_store.value(yKey).toDouble()));
    };
    m_passwordRequiredToChangePassword = flag(m_store.value(kPasswordRequiredKey));
    m_lastUsedAskForNameType = integer(kLastUsedAskForNameTypeKey);
    m_lastUsedAskForDestinationType = integer(kLastUsedAskForDestinationTypeKey);
    m_quickZipNameType = integer(kQuickZipNameTypeKey);
    m_quickZipPasswordType = integer(kQuickZipPasswordTypeKey);
    // Only a 1 asks for AES-256: anything else keeps the encryption every archiver opens.
    m_passwordEncryption
        = integer(kPasswordEncryptionKey) == ZipEncryptionAES256 ? ZipEncryptionAES256 : ZipEncryptionCompatible;
    m_preferredProgressWindowLocation = location(kProgressWindowXKey, kProgressWindowYKey);
    m_preferredDestinationsWindowLocation = location(kDestinationsWindowXKey, kDestinationsWindowYKey);
    m_initialLaunchDone = flag(m_store.value(kInitialLaunchKey));
    m_loginItemInstallComplete = flag(m_store.value(kLoginItemInstallCompleteKey));
    m_fileManagerMenus = !m_store.contains(kFileManagerMenusKey) || flag(m_store.value(kFileManagerMenusKey));
    // Edited by hand only: a whole number of MB, 0 for never; anything else keeps the default.
    bool isNumber = false;
    const qint32 emailSizeLimit = m_store.value(kEmailSizeLimitKey).toString().trimmed().toInt(&isNumber);
    m_emailSizeLimit = isNumber && emailSizeLimit >= 0 ? emailSizeLimit : DefaultEmailSizeLimit;
    m_quickZipName = m_store.contains(kQuickZipNameKey) ? m_store.value(kQuickZipNameKey).toString() : QString();
    // Anything but a point (a damaged value) counts as no place.
    const QVariant padLocation = m_store.value(kDropPadLocationKey);
    m_dropPadLocation = padLocation.typeId() == QMetaType::QPoint ? std::optional(padLocation.toPoint()) : std::nullopt;
}

QPointF Settings::preferredWindowLocation(Window window) const
{
    return window == Window::Progress ? m_preferredProgressWindowLocation : m_preferredDestinationsWindowLocation;
}

void Settings::setPreferredWindowLocation(Window window, const QPointF &location)
{
    (window == Window::Progress ? m_preferredProgressWindowLocation : m_preferredDestinationsWindowLocation) = location;
    save();
}

void Settings::setPasswordRequiredToChangePassword(bool required)
{
    m_passwordRequiredToChangePassword = required;
    save();
}

void Settings::setLastUsedAskForNameType(qint32 type)
{
    m_lastUsedAskForNameType = type;
    save();
}

void Settings::setLastUsedAskForDestinationType(qint32 type)
{
    m_lastUsedAskForDestinationType = type;
    save();
}

void Settings::setQuickZipNameType(qint32 type)
{
    m_quickZipNameType = type;
    save();
}

void Settings::setQuickZipPasswordType(qint32 type)
{
    m_quickZipPasswordType = type;
    save();
}

void Settings::setPasswordEncryption(ZipEncryption encryption)
{
    m_passwordEncryption = encryption;
    save();
}

void Settings::setDropPadLocation(const QPoint &location)
{
    m_dropPadLocation = location;
    save();
}

void Settings::setInitialLaunchDone()
{
    m_initialLaunchDone = true;
    save();
}

void Settings::setLoginItemInstallComplete()
{
    m_loginItemInstallComplete = true;
    save();
}

void Settings::setFileManagerMenus(bool shown)
{
    m_fileManagerMenus = shown;
    save();
}

void Settings::setQuickZipName(const QString &name)
{
    QString oneLine = name;
    oneLine.replace(u'\r', u'.').replace(u'\n', u'.');
    m_quickZipName = oneLine;
    save();
}

void Settings::save()
{
    m_store.setValue(kPasswordRequiredKey, m_passwordRequiredToChangePassword);
    m_store.setValue(kLastUsedAskForNameTypeKey, static_cast<quint32>(m_lastUsedAskForNameType));
    m_store.setValue(kLastUsedAskForDestinationTypeKey, static_cast<quint32>(m_lastUsedAskForDestinationType));
    m_store.setValue(kQuickZipNameTypeKey, static_cast<quint32>(m_quickZipNameType));
    m_store.setValue(kQuickZipPasswordTypeKey, static_cast<quint32>(m_quickZipPasswordType));
    m_store.setValue(kPasswordEncryptionKey, static_cast<quint32>(m_passwordEncryption));
    m_store.setValue(kProgressWindowXKey, m_preferredProgressWindowLocation.x());
    m_store.setValue(kProgressWindowYKey, m_preferredProgressWindowLocation.y());
    m_store.setValue(kDestinationsWindowXKey, m_preferredDestinationsWindowLocation.x());
    m_store.setValue(kDestinationsWindowYKey, m_preferredDestinationsWindowLocation.y());
    if (m_quickZipName.isNull())
        m_store.remove(kQuickZipNameKey);
    else
        m_store.setValue(kQuickZipNameKey, m_quickZipName);
    if (m_dropPadLocation)
        m_store.setValue(kDropPadLocationKey, *m_dropPadLocation);
    m_store.setValue(kInitialLaunchKey, m_initialLaunchDone);
    m_store.setValue(kLoginItemInstallCompleteKey, m_loginItemInstallComplete);
    m_store.setValue(kFileManagerMenusKey, m_fileManagerMenus);
    m_store.setValue(kEmailSizeLimitKey, m_emailSizeLimit);
    m_store.sync();
}
