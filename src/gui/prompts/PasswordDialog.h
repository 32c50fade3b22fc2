#pragma once

#include "PromptDialog.h"

#include <functional>
#include <memory>

namespace Ui {
class PasswordDialog;
}

// Asks for the password of an archive, typed twice.
class PasswordDialog final : public PromptDialog
{
    Q_OBJECT

public:
    /// (cancelled, password): (false, the password) or (true, null).
    using Completion = std::function<void(bool cancelled, const QString &password)>;

    explicit PasswordDialog(Completion completion);
    ~PasswordDialog() override;

protected:
    bool passesChecks() override;
    void completeWithOK() override;
    void completeWithCancel() override;

private:
    std::unique_ptr<Ui::PasswordDialog> m_ui;
    Completion m_completion;
};
