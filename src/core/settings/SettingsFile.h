#pragma once

#include <QSettings>

// The user's settings file, ~/.config/Tessary/Tessary.conf: the settings proper, and a few keys
// that other parts keep there too.
class SettingsFile final : public QSettings
{
public:
    SettingsFile()
        : QSettings(QStringLiteral("Tessary"), QStringLiteral("Tessary"))
    {
    }
};
