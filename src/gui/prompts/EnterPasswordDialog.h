#pragma once

#include "PromptDialog.h"

#include <functional>
#include <memory>

namespace Ui {
class EnterPasswordDialog;
}

// Asks for a known password (the preset one) before something may change it; any number of
// attempts.
class EnterPasswordDialog final : public PromptDialog
{
    Q_OBJECT

public:
    /// (matched): true once the typed password matched, false on Cancel.
    using Completion = std::function<void(bool matched)>;

    EnterPasswordDialog(const QString &password, const QString &prompt, Completion completion);
    ~EnterPasswordDialog() override;

protected:
    bool passesChecks() override;
    void completeWithOK() override;
    void completeWithCancel() override;

private:
    std::unique_ptr<Ui::EnterPasswordDialog> m_ui;
    QString m_password;
    Completion m_completion;
};
