#include "EncryptionChoice.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

EncryptionChoice::EncryptionChoice(QWidget *parent)
    : QWidget(parent)
    , m_choice(new QComboBox(this))
    , m_explanation(new QLabel(this))
{
    m_choice->addItem(u"Compatible"_s, ZipEncryptionCompatible);
    m_choice->addItem(u"AES-256"_s, ZipEncryptionAES256);
    m_choice->setAccessibleName(u"Encryption"_s);
    m_explanation->setWordWrap(true);
    QFont small = m_explanation->font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    m_explanation->setFont(small);
    m_explanation->setForegroundRole(QPalette::PlaceholderText);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(m_choice, 0, Qt::AlignLeft);
    layout->addWidget(m_explanation);
    setFocusProxy(m_choice);
    connect(
        m_choice, &QComboBox::currentIndexChanged, this, [this] { m_explanation->setText(explanation(encryption())); });
    m_explanation->setText(explanation(ZipEncryptionCompatible));
}

ZipEncryption EncryptionChoice::encryption() const
{
    return m_choice->currentData().toInt() == ZipEncryptionAES256 ? ZipEncryptionAES256 : ZipEncryptionCompatible;
}

void EncryptionChoice::setEncryption(ZipEncryption encryption)
{
    m_choice->setCurrentIndex(m_choice->findData(encryption == ZipEncryptionAES256 ? 1 : 0));
}

void EncryptionChoice::followPassword(QLineEdit *password)
{
    const auto follow = [this](const QString &text) { setEnabled(!text.isEmpty()); };
    connect(password, &QLineEdit::textChanged, this, follow);
    follow(password->text());
}

QString EncryptionChoice::explanation(ZipEncryption encryption)
{
    if (encryption == ZipEncryptionAES256)
        return u"Strong. To open it on Windows, the recipient needs 7-Zip or a current archiver."_s;
    return u"Opens everywhere, Windows' own Explorer included, but is weak: it can be broken."_s;
}
