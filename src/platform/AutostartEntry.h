#pragma once

#include <QString>

// The desktop session's autostart entry for Tessary: ~/.config/autostart/tessary.desktop.
class AutostartEntry final
{
public:
    static QString path();
    /// Writes the entry for the program unless there is one; false when it could not be written.
    static bool install(const QString &executablePath);
};
