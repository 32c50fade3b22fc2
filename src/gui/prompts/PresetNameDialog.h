#pragma once

#include "PromptDialog.h"

#include <functional>
#include <memory>

namespace Ui {
class PresetNameDialog;
}

// Sets the preset name of quick zips.
class PresetNameDialog final : public PromptDialog
{
    Q_OBJECT

public:
    /// (name): the typed name, or on Cancel the name the prompt opened with.
    using Completion = std::function<void(const QString &name)>;

    /// A null name is shown as the empty text.
    PresetNameDialog(const QString &name, Completion completion);
    ~PresetNameDialog() override;

protected:
    bool passesChecks() override;
    void completeWithOK() override;
    void completeWithCancel() override;

private:
    std::unique_ptr<Ui::PresetNameDialog> m_ui;
    QString m_originalName;
    Completion m_completion;
};
