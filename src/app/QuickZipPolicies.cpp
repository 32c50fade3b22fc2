#include "QuickZipPolicies.h"

#include "core/pipeline/ArchiveNaming.h"
#include "core/settings/QuickZipPassword.h"
#include "core/settings/Settings.h"
#include "core/support/Utilities.h"
#include "gui/prompts/EnterPasswordDialog.h"
#include "gui/prompts/NameAndPasswordDialog.h"
#include "gui/prompts/NameDialog.h"
#include "gui/prompts/NameEntryDialog.h"
#include "gui/prompts/PasswordDialog.h"
#include "gui/prompts/PresetPasswordDialog.h"
#include "gui/support/Alerts.h"

using namespace Qt::Literals::StringLiterals;

namespace {
const QString kNoPresetPassword = u"Your preset password could not be read from your keyring: it may be locked, or "
                                  "no password is kept there. No archive was made. Unlock your keyring, or set the "
                                  "preset password again, and try once more."_s;
} // namespace

QuickZipPolicies::QuickZipPolicies(Settings &settings, QObject *parent)
    : QObject(parent)
    , m_settings(settings)
{
}

void QuickZipPolicies::determineQuickZipOutputFileNameAndPasswordWithURLS(
    const QList<QUrl> &urls, const NameAndPasswordCompletion &completion)
{
    const qint32 nameType = m_settings.quickZipNameType();
    const qint32 passwordType = m_settings.quickZipPasswordType();
    bool cancelled = false;
    QString name;
    QString password;
    // A dialog that asks for the password offers the stored encryption, and may change it for this archive.
    ZipEncryption encryption = m_settings.passwordEncryption();

    const auto rememberNameChoice = [this](qint32 chosenType) { m_settings.setLastUsedAskForNameType(chosenType); };
    if (nameType == ZipNameTypeAsk && passwordType == ZipPasswordTypeAsk) {
        NameAndPasswordDialog(m_settings.quickZipName(), ArchiveNaming::derivedNameFromURLs(urls),
            m_settings.lastUsedAskForNameType(), encryption,
            [&](bool wasCancelled, qint32 chosenType, const QString &typedName, const QString &typedPassword,
                ZipEncryption chosenEncryption) {
                cancelled = wasCancelled;
                if (wasCancelled)
                    return;
                rememberNameChoice(chosenType);
                name = typedName;
                password = typedPassword;
                encryption = chosenEncryption;
            })
            .runModal();
    } else if (nameType == ZipNameTypeAsk) {
        NameDialog(m_settings.quickZipName(), ArchiveNaming::derivedNameFromURLs(urls),
            m_settings.lastUsedAskForNameType(),
            [&](bool wasCancelled, qint32 chosenType, const QString &typedName) {
                cancelled = wasCancelled;
                if (wasCancelled)
                    return;
                rememberNameChoice(chosenType);
                name = typedName;
            })
            .runModal();
    } else if (passwordType == ZipPasswordTypeAsk) {
        PasswordDialog(encryption,
            [&](bool wasCancelled, const QString &typedPassword, ZipEncryption chosenEncryption) {
                cancelled = wasCancelled;
                if (!wasCancelled) {
                    password = typedPassword;
                    encryption = chosenEncryption;
                }
            })
            .runModal();
    }

    if (name.isNull()) {
        switch (nameType) {
        case ZipNameTypeTessaryArchive:
        case ZipNameTypeAsk:
            name = ArchiveNaming::tessaryArchiveName();
            break;
        case ZipNameTypeDerived:
            name = ArchiveNaming::derivedNameFromURLs(urls);
            break;
        case ZipNameTypePreset:
            name = m_settings.quickZipName();
            break;
        default:
            break;
        }
    }
    if (name.isEmpty())
        name = ArchiveNaming::tessaryArchiveName();
    if (cancelled || !password.isNull() || passwordType != ZipPasswordTypePreset) {
        completion(cancelled, name, password, encryption, {});
        return;
    }
    // The preset password, from the keychain off the GUI thread. A protected archive was asked
    // for: without its password there is no archive, never an open one.
    QuickZipPassword::read(this, [name, encryption, completion](const QString &preset, bool) {
        if (preset.isEmpty())
            completion(false, name, QString(), encryption, Utilities::errorWithCode(0, kNoPresetPassword));
        else
            completion(false, name, preset, encryption, {});
    });
}

void QuickZipPolicies::getPasswordFromUserWithPrompt(const QString &prompt, const std::function<void(bool)> &answered)
{
    QuickZipPassword::read(this, [prompt, answered](const QString &preset, bool readable) {
        if (!readable) {
            Alerts::reportError(Utilities::errorWithCode(0, kNoPresetPassword));
            answered(false);
            return;
        }
        if (preset.isEmpty()) {
            answered(true);
            return;
        }
        bool matched = false;
        EnterPasswordDialog(preset, prompt, [&matched](bool typedCorrectly) { matched = typedCorrectly; }).runModal();
        answered(matched);
    });
}

void QuickZipPolicies::defineSavedZipName()
{
    NameEntryDialog(NameEntryDialog::presetName(), m_settings.quickZipName(), [this](bool, const QString &name) {
        m_settings.setQuickZipName(name);
    }).runModal();
}

void QuickZipPolicies::defineSavedZipPassword(const std::function<void(bool defined)> &defined)
{
    bool confirmed = false;
    QString password;
    bool requirePassword = false;
    PresetPasswordDialog(m_settings.passwordRequiredToChangePassword(),
        [&](bool cancelled, bool required, const QString &typed) {
            confirmed = !cancelled;
            requirePassword = required;
            password = typed;
        })
        .runModal();
    if (!confirmed) {
        if (defined)
            defined(false);
        return;
    }
    // The password counts as set once the keychain has taken it; otherwise the user hears why not.
    QuickZipPassword::store(this, password, [this, password, requirePassword, defined](const Error &error) {
        if (!error.isNull()) {
            Alerts::displayMessage(
                u"Your preset password could not be kept in your keyring (%1), so it was not changed. Unlock your "
                "keyring and set the preset password again."_s.arg(error.localizedDescription()),
                u"Preset Password Not Saved"_s);
        } else {
            m_settings.setPasswordRequiredToChangePassword(requirePassword);
        }
        if (defined)
            defined(error.isNull() && !password.isEmpty());
    });
}

void QuickZipPolicies::useSavedNameSelected()
{
    if (m_settings.quickZipName().isEmpty())
        defineSavedZipName();
    if (!m_settings.quickZipName().isEmpty())
        m_settings.setQuickZipNameType(ZipNameTypePreset);
}

void QuickZipPolicies::useSavedPasswordSelected()
{
    QuickZipPassword::read(this, [this](const QString &preset, bool readable) {
        if (!readable) {
            Alerts::reportError(Utilities::errorWithCode(0, kNoPresetPassword));
            return;
        }
        const auto choosePreset = [this](bool defined) {
            if (defined)
                m_settings.setQuickZipPasswordType(ZipPasswordTypePreset);
        };
        if (!preset.isEmpty())
            choosePreset(true);
        else
            defineSavedZipPassword(choosePreset);
    });
}

void QuickZipPolicies::setSavedPasswordSelected()
{
    if (!m_settings.passwordRequiredToChangePassword()) {
        defineSavedZipPassword({});
        return;
    }
    getPasswordFromUserWithPrompt(
        u"To set a new Password, please enter your existing Password:"_s, [this](bool matched) {
            if (matched)
                defineSavedZipPassword({});
        });
}
