#pragma once

#include "SettingsFile.h"
#include "core/pipeline/ZipEncryption.h"

#include <QPoint>
#include <QPointF>
#include <QString>

#include <optional>

/// How a quick zip names its archive.
enum ZipNameType : qint32 {
    ZipNameTypeTessaryArchive = 0,
    ZipNameTypeDerived = 1,
    ZipNameTypeAsk = 2,
    ZipNameTypePreset = 3,
};

/// Whether and how a quick zip protects its archive with a password.
enum ZipPasswordType : qint32 {
    ZipPasswordTypeNone = 0,
    ZipPasswordTypeAsk = 1,
    ZipPasswordTypePreset = 2,
};

// The user's quick-zip choices and remembered window positions, kept in the settings file and
// saved whole on every change; the preset password lives in the keychain (QuickZipPassword). One
// per process, owned by the controller; used on the GUI thread.
class Settings final
{
public:
    /// What most mail servers take, in MB.
    static constexpr qint32 DefaultEmailSizeLimit = 25;

    /// Loads the stored values.
    Settings();

    bool passwordRequiredToChangePassword() const { return m_passwordRequiredToChangePassword; }
    void setPasswordRequiredToChangePassword(bool required);
    /// The naming choice last made in a dialog that asked for a name.
    qint32 lastUsedAskForNameType() const { return m_lastUsedAskForNameType; }
    void setLastUsedAskForNameType(qint32 type);
    /// The kind of Destination last chosen in the custom zip window.
    qint32 lastUsedAskForDestinationType() const { return m_lastUsedAskForDestinationType; }
    void setLastUsedAskForDestinationType(qint32 type);
    qint32 quickZipNameType() const { return m_quickZipNameType; }
    void setQuickZipNameType(qint32 type);
    qint32 quickZipPasswordType() const { return m_quickZipPasswordType; }
    void setQuickZipPasswordType(qint32 type);
    /// How a password encrypts: the quick zip's, and the one the dialogs offer first.
    ZipEncryption passwordEncryption() const { return m_passwordEncryption; }
    void setPasswordEncryption(ZipEncryption encryption);
    /// The windows whose place is remembered.
    enum class Window { Progress, Destinations };
    /// Where the user last put the window; (0, 0) until the user first moves it.
    QPointF preferredWindowLocation(Window window) const;
    void setPreferredWindowLocation(Window window, const QPointF &location);
    /// Where the user put the drop pad; none until the pad was first moved.
    std::optional<QPoint> dropPadLocation() const { return m_dropPadLocation; }
    void setDropPadLocation(const QPoint &location);
    /// Whether the first launch's steps have been taken: the introduction shown, Tessary added to
    /// the programs that start with the session. Each is taken once, never again.
    bool initialLaunchDone() const { return m_initialLaunchDone; }
    void setInitialLaunchDone();
    bool loginItemInstallComplete() const { return m_loginItemInstallComplete; }
    void setLoginItemInstallComplete();
    /// Whether Tessary puts its entries into the file managers' menus (on unless turned off).
    bool fileManagerMenus() const { return m_fileManagerMenus; }
    void setFileManagerMenus(bool shown);
    /// The size in MB from which an archive for a new e-mail is questioned first (25 unless the
    /// file says otherwise); 0 when the user turned the question off.
    qint32 emailSizeLimit() const { return m_emailSizeLimit; }
    /// The preset name; null when none is set. Line breaks are stored as ".".
    QString quickZipName() const { return m_quickZipName; }
    void setQuickZipName(const QString &name);

    /// Writes every value and flushes the settings file.
    void save();

private:
    SettingsFile m_store;
    bool m_passwordRequiredToChangePassword = false;
    qint32 m_lastUsedAskForNameType = 0;
    qint32 m_lastUsedAskForDestinationType = 0;
    qint32 m_quickZipNameType = ZipNameTypeTessaryArchive;
    qint32 m_quickZipPasswordType = ZipPasswordTypeNone;
    ZipEncryption m_passwordEncryption = ZipEncryptionCompatible;
    QPointF m_preferredProgressWindowLocation;
    QPointF m_preferredDestinationsWindowLocation;
    std::optional<QPoint> m_dropPadLocation;
    QString m_quickZipName;
    bool m_initialLaunchDone = false;
    bool m_loginItemInstallComplete = false;
    bool m_fileManagerMenus = true;
    qint32 m_emailSizeLimit = DefaultEmailSizeLimit;
};
