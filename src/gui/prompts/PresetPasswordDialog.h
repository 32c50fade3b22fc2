#pragma once

#include "PromptDialog.h"

#include <functional>
#include <memory>

namespace Ui {
class PresetPasswordDialog;
}

// Sets the preset password of quick zips, typed twice, and whether it is needed to change it.
class PresetPasswordDialog final : public PromptDialog
{
    Q_OBJECT

public:
    /// (cancelled, require password, password): the check box as it is at that moment; the password
    /// is null on Cancel.
    using Completion = std::function<void(bool cancelled, bool requirePassword, const QString &password)>;

    PresetPasswordDialog(bool requirePasswordToChangePassword, Completion completion);
    ~PresetPasswordDialog() override;

protected:
    bool passesChecks() override;
    void completeWithOK() override;
    void completeWithCancel() override;

private:
    std::unique_ptr<Ui::PresetPasswordDialog> m_ui;
    Completion m_completion;
};
