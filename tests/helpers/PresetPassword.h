#pragma once

#include <QString>

/// The preset password as the settings read it from the keychain (off the GUI thread), waited
/// for here; "(unreadable)" when the keychain could not be read, "(no answer)" when it did not
/// answer within ten seconds.
QString presetPassword();
/// Stores the preset password as the settings do (off the GUI thread) and waits for the
/// keychain's answer; true when it took the password.
bool setPresetPassword(const QString &password);
/// Stores the Dropbox access token (an empty one removes it) and waits for the keychain's
/// answer; true when it took the change.
bool setDropboxToken(const QString &token);
