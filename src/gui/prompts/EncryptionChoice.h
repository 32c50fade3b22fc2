#pragma once

#include "core/pipeline/ZipEncryption.h"

#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;

// The choice of how a password protects an archive, "Compatible" or "AES-256", with one line
// beneath saying what the recipient needs.
class EncryptionChoice final : public QWidget
{
    Q_OBJECT

public:
    explicit EncryptionChoice(QWidget *parent = nullptr);

    ZipEncryption encryption() const;
    void setEncryption(ZipEncryption encryption);
    /// Enabled only while the password field holds text.
    void followPassword(QLineEdit *password);
    /// The line shown under the choice.
    static QString explanation(ZipEncryption encryption);

private:
    QComboBox *m_choice;
    QLabel *m_explanation;
};
