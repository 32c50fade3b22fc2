#include "ModalDriver.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

ModalDriver::ModalDriver()
{
    m_timer.setInterval(20);
    connect(&m_timer, &QTimer::timeout, this, &ModalDriver::poll);
    m_timer.start();
}

ModalDriver &ModalDriver::then(Step step)
{
    m_steps.append(std::move(step));
    return *this;
}

ModalDriver &ModalDriver::answerMessageBox(const QString &buttonText, const Step &look)
{
    return then([this, buttonText, look](QWidget *modal) {
        if (look)
            look(modal);
        auto *box = qobject_cast<QMessageBox *>(modal);
        if (box == nullptr) {
            messages << u"(not a message box: %1)"_s.arg(QString::fromLatin1(modal->metaObject()->className()));
            return;
        }
        messages << box->text() + u'|' + box->informativeText();
        const QList<QAbstractButton *> buttons = box->buttons();
        QAbstractButton *chosen = box->defaultButton() != nullptr ? box->defaultButton() : buttons.value(0);
        for (QAbstractButton *button : buttons)
            if (!buttonText.isEmpty() && button->text() == buttonText)
                chosen = button;
        if (chosen != nullptr)
            chosen->click();
    });
}

void ModalDriver::type(QWidget *modal, const char *lineEditName, const QString &text)
{
    auto *field = modal->findChild<QLineEdit *>(QString::fromLatin1(lineEditName));
    QVERIFY2(field != nullptr, lineEditName);
    field->setFocus();
    QTest::keyClicks(field, text);
}

void ModalDriver::press(QWidget *modal, Qt::Key key)
{
    QWidget *target = modal->focusWidget() != nullptr ? modal->focusWidget() : modal;
    QTest::keyClick(target, key);
}

void ModalDriver::poll()
{
    QWidget *top = QApplication::activeModalWidget();
    if (top == nullptr || top == m_lastTop || !top->isVisible())
        return;
    m_lastTop = top;
    if (m_steps.isEmpty())
        return;
    const Step step = m_steps.takeFirst();
    // Run outside the timer slot: the step may open a modal loop of its own.
    QTimer::singleShot(0, top, [step, top] { step(top); });
}
