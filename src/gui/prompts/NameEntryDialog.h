#pragma once

#include "PromptDialog.h"

#include <functional>
#include <memory>

namespace Ui {
class NameEntryDialog;
}

// Asks for one name (a Destination's, the preset name of quick zips); an empty one is refused.
class NameEntryDialog final : public PromptDialog
{
    Q_OBJECT

public:
    /// What the dialog says: its title, the line above the field, and the alert for an empty
    /// name, after which the field is selected where selectFieldWhenEmpty.
    struct Wording
    {
        QString title;
        QString explanation;
        QString emptyNameMessage;
        bool selectFieldWhenEmpty = false;
    };
    /// The Destination's name, shown on its tile.
    static Wording destinationName();
    /// The preset name of quick zips.
    static Wording presetName();

    /// (cancelled, name): (false, the typed name) or (true, the name it was opened with).
    using Completion = std::function<void(bool cancelled, const QString &name)>;

    /// A null name is shown as the empty text.
    NameEntryDialog(const Wording &wording, const QString &name, Completion completion);
    ~NameEntryDialog() override;

protected:
    bool passesChecks() override;
    void completeWithOK() override;
    void completeWithCancel() override;

private:
    std::unique_ptr<Ui::NameEntryDialog> m_ui;
    Wording m_wording;
    QString m_originalName;
    Completion m_completion;
};
