#include "ModalDriver.h"

#include "app/AskForNameAndPasswordWindowController.h"
#include "app/AskForNameWindowController.h"
#include "app/AskForPasswordWindowController.h"
#include "app/EnterPasswordWindowController.h"
#include "app/SetSavedNameWindowController.h"
#include "app/SetSavedPasswordWindowController.h"
#include "settings/Settings.h"
#include "support/Utilities.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QtTest>

using namespace Qt::Literals::StringLiterals;

namespace {
const QString kPasswordRequired = u"Password Required|Please provide a password."_s;
const QString kNotMatched
    = u"Passwords Not Matched|The passwords do not match.  Please re-type them to ensure they are the same."_s;

template <typename T> T *child(QWidget *modal, const char *name)
{
    return modal->findChild<T *>(QString::fromLatin1(name));
}

} // namespace

class TestPrompts : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { Utilities::setNonInteractive(false); }

    void askForPasswordChecks();
    void withoutAPersonEveryPromptCancels();
};

void TestPrompts::askForPasswordChecks()
{
    int calls = 0;
    bool wasCancelled = true;
    QString password;
    AskForPasswordWindowController prompt([&](bool cancelled, const QString &typed) {
        ++calls;
        wasCancelled = cancelled;
        password = typed;
    });
    QString selectedAfterMismatch;
    ModalDriver driver;
    driver.then([](QWidget *modal) { ModalDriver::press(modal, Qt::Key_Return); })
        .answerMessageBox()
        .then([](QWidget *modal) {
            ModalDriver::type(modal, "passwordTextField", u"one"_s);
            ModalDriver::type(modal, "confirmTextField", u"two"_s);
            ModalDriver::press(modal, Qt::Key_Return);
        })
        .answerMessageBox()
        .then([&selectedAfterMismatch](QWidget *modal) {
            auto *field = child<QLineEdit>(modal, "passwordTextField");
            if (modal->focusWidget() == field)
                selectedAfterMismatch = field->selectedText();
            // 41 "ü" are 82 bytes: longer than zip takes.
            const QString tooLong(41, u'ü');
            field->setText(tooLong);
            child<QLineEdit>(modal, "confirmTextField")->setText(tooLong);
            ModalDriver::press(modal, Qt::Key_Return);
        })
        .answerMessageBox()
        .then([](QWidget *modal) {
            child<QLineEdit>(modal, "passwordTextField")->setText(u"two"_s);
            child<QLineEdit>(modal, "confirmTextField")->setText(u"two"_s);
            ModalDriver::press(modal, Qt::Key_Return);
        });
    prompt.runModal();
    QCOMPARE(driver.messages.size(), 3);
    QCOMPARE(driver.messages.mid(0, 2), (QStringList {kPasswordRequired, kNotMatched}));
    QVERIFY(driver.messages.at(2).startsWith(u"Password Too Long|The password is too long"_s));
    QCOMPARE(selectedAfterMismatch, u"one"_s);
    QCOMPARE(calls, 1);
    QVERIFY(!wasCancelled);
    QCOMPARE(password, u"two"_s);
}

void TestPrompts::withoutAPersonEveryPromptCancels()
{
    Utilities::setNonInteractive(true);
    QStringList answers;
    AskForNameWindowController(u"P"_s, u"D"_s, 0, [&](bool cancelled, qint32, const QString &) {
        answers << u"name %1"_s.arg(cancelled);
    }).runModal();
    AskForNameAndPasswordWindowController(u"P"_s, u"D"_s, 0,
        [&](bool cancelled, qint32, const QString &, const QString &) {
            answers << u"name and password %1"_s.arg(cancelled);
        })
        .runModal();
    AskForPasswordWindowController([&](bool cancelled, const QString &) {
        answers << u"password %1"_s.arg(cancelled);
    }).runModal();
    EnterPasswordWindowController(u"x"_s, u"?"_s, [&](bool matched) {
        answers << u"enter %1"_s.arg(matched);
    }).runModal();
    SetSavedNameWindowController(u"Kept"_s, [&](const QString &name) { answers << name; }).runModal();
    SetSavedPasswordWindowController(true, [&](bool cancelled, bool, const QString &) {
        answers << u"preset password %1"_s.arg(cancelled);
    }).runModal();
    QCOMPARE(answers,
        (QStringList {
            u"name 1"_s, u"name and password 1"_s, u"password 1"_s, u"enter 0"_s, u"Kept"_s, u"preset password 1"_s}));
}

QTEST_MAIN(TestPrompts)
#include "TestPrompts.moc"
