#include "NameChoice.h"

#include "core/pipeline/ArchiveNaming.h"
#include "core/settings/Settings.h"
#include "gui/support/DropAction.h"

#include <QComboBox>
#include <QDropEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>

using namespace Qt::Literals::StringLiterals;

namespace {
enum Item { ItemTessaryArchive = 0, ItemDerived = 1, ItemPreset = 2 };

qint32 nameTypeOf(int item)
{
    switch (item) {
    case ItemDerived:
        return ZipNameTypeDerived;
    case ItemPreset:
        return ZipNameTypePreset;
    default:
        return ZipNameTypeTessaryArchive;
    }
}

int itemOf(qint32 nameType)
{
    switch (nameType) {
    case ZipNameTypeDerived:
        return ItemDerived;
    case ZipNameTypePreset:
        return ItemPreset;
    default:
        return ItemTessaryArchive;
    }
}
} // namespace

NameChoice::NameChoice(QComboBox *optionsButton, QLineEdit *nameTextField, const QString &savedName,
    const QString &derivedName, qint32 nameType)
    : QObject(optionsButton)
    , m_optionsButton(optionsButton)
    , m_nameTextField(nameTextField)
    , m_savedName(savedName.isNull() ? u""_s : savedName)
    , m_derivedName(derivedName.isNull() ? u""_s : derivedName)
    , m_tessaryName(ArchiveNaming::tessaryArchiveName())
    , m_nameType(nameType)
{
    const int item = itemOf(nameType);
    m_optionsButton->setCurrentIndex(item);
    m_nameTextField->setText(nameOfItem(item));
    m_nameTextField->selectAll();
    connect(m_optionsButton, &QComboBox::activated, this, &NameChoice::choose);
    m_nameTextField->installEventFilter(this);
    // Out of the way of Tab, and deaf to typing: a name is replaced only by a pick from the list,
    // never by letters meant for another field.
    m_optionsButton->setFocusPolicy(Qt::ClickFocus);
    m_optionsButton->installEventFilter(this);
}

bool NameChoice::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_optionsButton)
        return event->type() == QEvent::KeyPress && !static_cast<QKeyEvent *>(event)->text().trimmed().isEmpty();
    const bool dragEvent
        = event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove || event->type() == QEvent::Drop;
    if (watched != m_nameTextField || !dragEvent)
        return QObject::eventFilter(watched, event);
    auto *drop = static_cast<QDropEvent *>(event);
    const QList<QUrl> files = ArchiveNaming::getsFileURLSFromDragOperation(drop->mimeData()->urls());
    if (files.isEmpty())
        return QObject::eventFilter(watched, event); // text goes in as the field takes it
    acceptDropAsCopy(drop);
    if (event->type() == QEvent::Drop) {
        m_nameTextField->setText(ArchiveNaming::derivedNameFromURLs(files));
        m_nameTextField->setFocus();
        m_nameTextField->selectAll();
    }
    return true;
}

QString NameChoice::nameOfItem(int item) const
{
    switch (item) {
    case ItemDerived:
        return m_derivedName;
    case ItemPreset:
        return m_savedName;
    default:
        return m_tessaryName;
    }
}

QString NameChoice::name() const
{
    return m_nameTextField->text();
}

void NameChoice::choose(int index)
{
    m_nameType = nameTypeOf(index);
    m_nameTextField->setText(nameOfItem(index));
    m_nameTextField->setFocus();
    m_nameTextField->selectAll();
}
