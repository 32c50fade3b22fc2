#pragma once

#include <QDialog>

class QAbstractButton;
class QDialogButtonBox;
class QLineEdit;

// What the small modal prompts share: Return and keypad Enter act as OK, Escape as Cancel; OK
// runs the prompt's checks in order and the first that fails shows its message and keeps the
// prompt open; the completion runs before the modal loop ends. Without a person at the screen
// (Utilities' non-interactive mode) a prompt is cancelled at once.
class PromptDialog : public QDialog
{
    Q_OBJECT

public:
    /// Shows the prompt modally and returns once it has been answered and its completion has run.
    void runModal();
    /// Closes the prompt and ends its modal loop.
    void dismiss();
    void okButtonPressed();
    void cancelButtonPressed();

protected:
    explicit PromptDialog(QWidget *parent = nullptr);

    /// Connects the prompt's OK and Cancel buttons; called once the form is set up.
    void connectButtons(QDialogButtonBox *buttons);
    /// The prompt's checks; false (after showing a message) keeps it open.
    virtual bool passesChecks() = 0;
    virtual void completeWithOK() = 0;
    virtual void completeWithCancel() = 0;

    /// A failed check: shows the message under the title and selects the field, if any.
    bool failCheck(const QString &message, const QString &title, QLineEdit *fieldToSelect);
    /// The checks of a password typed twice: not empty, confirmed, and the same both times.
    bool checkPasswords(QLineEdit *password, QLineEdit *confirmation);

    void keyPressEvent(QKeyEvent *event) override;
    void reject() override;
    void showEvent(QShowEvent *event) override;

private:
    bool m_answered = false;
};
