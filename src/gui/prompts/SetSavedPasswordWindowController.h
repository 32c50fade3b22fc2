#pragma once

#include "PromptWindowController.h"

#include <functional>
#include <memory>

namespace Ui {
class SetSavedPasswordWindowController;
}

// Sets the preset password of quick zips, typed twice, and whether it is needed to change it.
class SetSavedPasswordWindowController final : public PromptWindowController
{
    Q_OBJECT

public:
    /// (cancelled, require password, password): the check box as it is at that moment; the password
    /// is null on Cancel.
    using Completion = std::function<void(bool cancelled, bool requirePassword, const QString &password)>;

    SetSavedPasswordWindowController(bool requirePasswordToChangePassword, Completion completion);
    ~SetSavedPasswordWindowController() override;

protected:
    bool passesChecks() override;
    void completeWithOK() override;
    void completeWithCancel() override;

private:
    std::unique_ptr<Ui::SetSavedPasswordWindowController> m_ui;
    Completion m_completion;
};
