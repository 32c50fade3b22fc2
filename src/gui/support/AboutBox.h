#pragma once

#include <QString>

class LogCapture;

// The About box, which also holds the switch for logging, and the alerts that share its shape:
// the logo, the product's line, the text and an OK button.
class AboutBox final
{
public:
    /// Shows the About box and waits for it to be closed. Beginning a log is offered only to
    /// those who hold a modifier key as the box opens; a log that runs can always be stopped.
    static void run(LogCapture &logCapture);
    /// Shows an alert with the logo and waits for it to be closed; without a screen, writes it
    /// out.
    static void showLogoAlert(const QString &title, const QString &details);
};
