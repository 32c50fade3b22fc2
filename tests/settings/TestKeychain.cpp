// Runs against a real Secret Service: CTest starts it under tests/helpers/with-desktop-session.

#include "PresetPassword.h"
#include "TemporaryHome.h"
#include "TestFiles.h"

#include "app/Tessary.h"
#include "settings/Settings.h"
#include "settings/VLTKeychain.h"

#include <QProcess>
#include <QtTest>

using namespace Qt::Literals::StringLiterals;

namespace {
QString labelOf(const QString &service, const QString &account)
{
    const QList<QVariantMap> items = VLTKeychain::accountsForService(service).value_or(QList<QVariantMap>());
    for (const QVariantMap &item : items)
        if (item.value(kVLTKeychainAccountKey).toString() == account)
            return item.value(kVLTKeychainLabelKey).toString();
    return {};
}
} // namespace

class TestKeychain : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void saveFetchReplaceDelete();
    void presetPasswordLivesInTheKeychain();
};

void TestKeychain::initTestCase()
{
    Error error;
    const bool reachable = VLTKeychain::setPassword(u"probe"_s, u"probe"_s, u"probe"_s, &error);
    QVERIFY2(reachable, qPrintable(u"no Secret Service: "_s + error.localizedDescription()));
    QVERIFY(VLTKeychain::deletePasswordForService(u"probe"_s, u"probe"_s));
}

void TestKeychain::saveFetchReplaceDelete()
{
    VLTKeychainQuery query;
    query.setService(u"Test Service"_s);
    query.setAccount(u"anna"_s);
    query.setLabel(u"First label"_s);
    query.setPassword(u"p\u00e4ss w\u00f6rd"_s);
    Error error;
    QVERIFY(query.save(&error));
    QVERIFY(error.isNull());
    QCOMPARE(VLTKeychain::passwordForService(u"Test Service"_s, u"anna"_s), u"p\u00e4ss w\u00f6rd"_s);
    QCOMPARE(VLTKeychain::passwordDataForService(u"Test Service"_s, u"anna"_s), u"p\u00e4ss w\u00f6rd"_s.toUtf8());

    // Replacing changes the secret only; the item keeps its label and stays one item.
    query.setLabel(u"Second label"_s);
    query.setPassword(u"new"_s);
    QVERIFY(query.save());
    QCOMPARE(VLTKeychain::passwordForService(u"Test Service"_s, u"anna"_s), u"new"_s);
    QCOMPARE(labelOf(u"Test Service"_s, u"anna"_s), u"First label"_s);
    QCOMPARE(VLTKeychain::accountsForService(u"Test Service"_s)->size(), 1);

    QVERIFY(VLTKeychain::deletePasswordForService(u"Test Service"_s, u"anna"_s, &error));
    QVERIFY(VLTKeychain::passwordForService(u"Test Service"_s, u"anna"_s).isNull());
}

void TestKeychain::presetPasswordLivesInTheKeychain()
{
    TemporaryHome home;
    Tessary controller;
    controller.beginCapturingLogging();

    QVERIFY(presetPassword().isNull()); // none stored: no log line either
    Settings::setQuickZipPassword(u"preset secret"_s);
    QCOMPARE(presetPassword(), u"preset secret"_s);
    QCOMPARE(VLTKeychain::passwordForService(u"Tessary"_s, u"Tessary"_s), u"preset secret"_s);
    QVERIFY(!readFile(SettingsFile().fileName()).contains("preset secret"));

    Settings::setQuickZipPassword(QString()); // refused: the preset password stays
    QCOMPARE(presetPassword(), u"preset secret"_s);
    const QString log = QString::fromUtf8(readFile(controller.logFilePath()));
    QVERIFY(!log.contains(u"ERROR RETRIEVING PASSWORD"_s));
    QVERIFY(log.contains(u"ERROR SAVING PASSWORD:  "_s));
    QVERIFY(VLTKeychain::deletePasswordForService(u"Tessary"_s, u"Tessary"_s));
}

QTEST_GUILESS_MAIN(TestKeychain)
#include "TestKeychain.moc"
