#pragma once

#include <QString>

/// The preset password as the settings read it from the keychain (off the GUI thread), waited
/// for here; "(unreadable)" when the keychain could not be read, "(no answer)" when it did not
/// answer within ten seconds.
QString presetPassword();
