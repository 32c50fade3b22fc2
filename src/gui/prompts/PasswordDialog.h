#pragma once

#include "PromptDialog.h"
#include "core/pipeline/ZipEncryption.h"

#include <functional>
#include <memory>

namespace Ui {
class PasswordDialog;
}

// Asks for the password of an archive, typed twice, and how it encrypts.
class PasswordDialog final : public PromptDialog
{
    Q_OBJECT

public:
    /// (cancelled, password, encryption): (false, the password, the encryption chosen) or (true,
    /// null, the one offered).
    using Completion = std::function<void(bool cancelled, const QString &password, ZipEncryption encryption)>;

    /// Offers the encryption given.
    PasswordDialog(ZipEncryption encryption, Completion completion);
    ~PasswordDialog() override;

protected:
    bool passesChecks() override;
    void completeWithOK() override;
    void completeWithCancel() override;

private:
    std::unique_ptr<Ui::PasswordDialog> m_ui;
    Completion m_completion;
};
