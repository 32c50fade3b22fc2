#include "EncryptionChoice.h"

#include <QLabel>
#include <QLineEdit>

using namespace Qt::Literals::StringLiterals;

EncryptionChoice::EncryptionChoice(QWidget *parent)
    : QComboBox(parent)
{
    addItem(u"Compatible"_s, ZipEncryptionCompatible);
    addItem(u"AES-256"_s, ZipEncryptionAES256);
    setAccessibleName(u"Encryption"_s);
    setSizeAdjustPolicy(QComboBox::AdjustToContents);
    connect(this, &QComboBox::currentIndexChanged, this, [this] {
        if (m_explanation != nullptr)
            m_explanation->setText(explanation(encryption()));
    });
}

ZipEncryption EncryptionChoice::encryption() const
{
    return currentData().toInt() == ZipEncryptionAES256 ? ZipEncryptionAES256 : ZipEncryptionCompatible;
}

void EncryptionChoice::setEncryption(ZipEncryption encryption)
{
    setCurrentIndex(findData(encryption == ZipEncryptionAES256 ? ZipEncryptionAES256 : ZipEncryptionCompatible));
}

void EncryptionChoice::explainIn(QLabel *label)
{
    m_explanation = label;
    label->setWordWrap(true);
    QFont small = label->font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    label->setFont(small);
    label->setForegroundRole(QPalette::PlaceholderText);
    label->setText(explanation(encryption()));
}

void EncryptionChoice::followPassword(QLineEdit *password)
{
    const auto follow = [this](const QString &text) {
        setEnabled(!text.isEmpty());
        if (m_explanation != nullptr)
            m_explanation->setEnabled(!text.isEmpty());
    };
    connect(password, &QLineEdit::textChanged, this, follow);
    follow(password->text());
}

QString EncryptionChoice::explanation(ZipEncryption encryption)
{
    if (encryption == ZipEncryptionAES256)
        return u"Strong. To open it on Windows, the recipient needs 7-Zip or a current archiver."_s;
    return u"Opens everywhere, Windows' own Explorer included, but is weak: it can be broken."_s;
}
