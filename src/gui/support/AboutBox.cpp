#include "AboutBox.h"

#include "Alerts.h"
#include "ImageManager.h"
#include "UtilitiesWindows.h"

#include "core/support/LogCapture.h"
#include "core/support/Utilities.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>

using namespace Qt::Literals::StringLiterals;

namespace {
constexpr qreal kLogoSide = 64.0;
const QString kCopyright = u"Copyright © 2026 The Tessary developers"_s;
const QString kProductLine = u"Tessary - The Easiest Way to Zip, Share and Protect your files."_s;

void prepareLogoAlert(QMessageBox &box, const QString &title, const QString &details)
{
    box.setWindowTitle(title);
    box.setIconPixmap(QPixmap::fromImage(ImageManager::imageNamed(u"TessaryLogo"_s, QSizeF(kLogoSide, kLogoSide))));
    box.setTextFormat(Qt::PlainText);
    box.setText(kProductLine);
    box.setInformativeText(details);
    box.setEscapeButton(box.addButton(QMessageBox::Ok));
}
} // namespace

void AboutBox::showLogoAlert(const QString &title, const QString &details)
{
    if (UtilitiesWindows::isNonInteractive()) {
        Alerts::displayMessage(details, kProductLine);
        return;
    }
    QMessageBox box;
    prepareLogoAlert(box, title, details);
    UtilitiesWindows::runModally(&box);
}

void AboutBox::run(LogCapture &logCapture)
{
    const QString details
        = u"\nVersion %1\n\n%2\n\n"
          "• Just Drag and Drop to Zip your Files.\n"
          "• Create Zip Archives with or without a Password.\n"
          "• Automatically share Zip Archives via Email, Messages and nearby sharing through your "
          "phone, Dropbox and iCloud Drive.\n"
          "• Automatically store Zip Archives on this computer, in the Cloud or on your FTP server.\n"_s.arg(
              QCoreApplication::applicationVersion(), kCopyright);
    if (UtilitiesWindows::isNonInteractive()) {
        showLogoAlert(u"About Tessary"_s, details);
        return;
    }
    QString loggingButtonText;
    if (logCapture.isCapturing())
        loggingButtonText = u"Stop Logging"_s;
    else if (QGuiApplication::queryKeyboardModifiers() != Qt::NoModifier)
        loggingButtonText = u"Begin Logging"_s;

    QMessageBox box;
    prepareLogoAlert(box, u"About Tessary"_s, details);
    QPushButton *logging
        = loggingButtonText.isNull() ? nullptr : box.addButton(loggingButtonText, QMessageBox::ActionRole);
    UtilitiesWindows::runModally(&box);
    if (logging != nullptr && box.clickedButton() == logging)
        logCapture.toggle();
}
