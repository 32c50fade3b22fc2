#pragma once

#include "core/pipeline/ZipEncryption.h"

#include <QComboBox>

class QLabel;
class QLineEdit;

// The choice of how a password protects an archive, "Compatible" or "AES-256", with a line
// beneath it saying what the recipient needs.
class EncryptionChoice final : public QComboBox
{
    Q_OBJECT

public:
    explicit EncryptionChoice(QWidget *parent = nullptr);

    ZipEncryption encryption() const;
    void setEncryption(ZipEncryption encryption);
    /// Keeps the label saying what the chosen encryption means, in small grey type.
    void explainIn(QLabel *label);
    /// Enabled, with its explanation, only while the password field holds text.
    void followPassword(QLineEdit *password);
    /// What the encryption means for the recipient, in one line.
    static QString explanation(ZipEncryption encryption);

private:
    QLabel *m_explanation = nullptr;
};
