#pragma once

#include <QObject>
#include <QString>

class QComboBox;
class QLineEdit;

// The name choice of the name prompts: a pop-up of "Tessary Archive", the derived name and the
// preset name, and the name field it fills. The name type the prompt was opened with stays in
// force until the user picks from the pop-up, which Tab passes by and typing never changes. Files dropped on the field
// name the archive after them, as a derived name would.
class NameChoice final : public QObject
{
    Q_OBJECT

public:
    /// A null saved or derived name counts as the empty text.
    NameChoice(QComboBox *optionsButton, QLineEdit *nameTextField, const QString &savedName, const QString &derivedName,
        qint32 nameType);

    qint32 nameType() const { return m_nameType; }
    QString name() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void choose(int index);
    QString nameOfItem(int item) const;

    QComboBox *m_optionsButton;
    QLineEdit *m_nameTextField;
    QString m_savedName;
    QString m_derivedName;
    QString m_tessaryName;
    qint32 m_nameType;
};
