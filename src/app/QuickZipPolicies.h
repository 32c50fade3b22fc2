#pragma once

#include "core/pipeline/ZipEncryption.h"
#include "core/support/Error.h"

#include <QList>
#include <QObject>
#include <QUrl>

#include <functional>

class Settings;

// The quick-zip policies: what an archive is called and whether it gets a password, with the
// dialogs they call for, and the preset name and password the user keeps for them (the preset
// password in the keychain, read and written off the GUI thread).
class QuickZipPolicies final : public QObject
{
    Q_OBJECT

public:
    /// (cancelled, name, password, encryption, error): the name is never empty, the password null
    /// for none; an error when the password the policy asks for cannot be had.
    using NameAndPasswordCompletion = std::function<void(
        bool cancelled, const QString &name, const QString &password, ZipEncryption encryption, const Error &error)>;

    explicit QuickZipPolicies(Settings &settings, QObject *parent = nullptr);

    /// Turns the policies into a name and a password, running the dialogs they call for; the
    /// preset password comes from the keychain off the GUI thread, so the completion may run
    /// later.
    void determineQuickZipOutputFileNameAndPasswordWithURLS(
        const QList<QUrl> &urls, const NameAndPasswordCompletion &completion);
    void defineSavedZipName();
    /// The preset-name policy; without a preset name, one is asked for first.
    void useSavedNameSelected();
    /// The preset-password policy; without a preset password, one is asked for first.
    void useSavedPasswordSelected();
    /// Sets the preset password, after asking for the current one where the user wants that.
    void setSavedPasswordSelected();

private:
    /// Answers true when there is no preset password or the user typed it.
    void getPasswordFromUserWithPrompt(const QString &prompt, const std::function<void(bool matched)> &answered);
    /// Asks for the preset password and stores it in the keychain; defined hears whether a
    /// password is now set (false when the user cancelled or the keychain refused it).
    void defineSavedZipPassword(const std::function<void(bool defined)> &defined);

    Settings &m_settings;
};
