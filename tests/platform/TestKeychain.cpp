// The settings file, and the keychain that keeps the preset password: runs against a real Secret
// Service (CTest starts it under tests/helpers/with-desktop-session).

#include "PresetPassword.h"
#include "TemporaryHome.h"
#include "TestFiles.h"

#include "core/settings/Keychain.h"
#include "core/settings/Settings.h"
#include "platform/DesktopServices.h"

#include <QtTest>

using namespace Qt::Literals::StringLiterals;

namespace {
QString labelOf(const QString &service, const QString &account)
{
    const QList<QVariantMap> items = Keychain::accountsForService(service).value_or(QList<QVariantMap>());
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
    void init() { m_home.emplace(); } // the previous test's home goes first

    void missingOrMalformedValuesGiveTheDefaults_data();
    void missingOrMalformedValuesGiveTheDefaults();
    void valuesSurviveARestart();
    void keychainSavesFetchesReplacesDeletes();
    void presetPasswordLivesInTheKeychain();

private:
    std::optional<TemporaryHome> m_home;
};

void TestKeychain::initTestCase()
{
    DesktopServices::install();
    Error error;
    const bool reachable = Keychain::setPassword(u"probe"_s, u"probe"_s, u"probe"_s, &error);
    QVERIFY2(reachable, qPrintable(u"no Secret Service: "_s + error.localizedDescription()));
    QVERIFY(Keychain::deletePasswordForService(u"probe"_s, u"probe"_s));
}

void TestKeychain::missingOrMalformedValuesGiveTheDefaults_data()
{
    QTest::addColumn<bool>("malformed");
    QTest::newRow("empty store") << false;
    QTest::newRow("malformed values") << true;
}

void TestKeychain::missingOrMalformedValuesGiveTheDefaults()
{
    QFETCH(bool, malformed);
    if (malformed) {
        SettingsFile file;
        file.setValue(u"Quick Zip Name Type"_s, u"three"_s);
        file.setValue(u"Password Required to Change Password"_s, u"maybe"_s);
        file.setValue(u"Preferred Progress Window X"_s, u"left"_s);
        file.setValue(u"Quick Zip Password Type"_s, 4294967295U); // written unsigned, read back signed
        file.setValue(u"Drop Pad Location"_s, u"top right"_s); // the pad goes to its first place
        file.setValue(u"Password Encryption"_s, 7); // no such encryption: the one every archiver opens
    }
    const Settings settings;
    QCOMPARE(settings.quickZipNameType(), qint32(ZipNameTypeTessaryArchive));
    QCOMPARE(settings.quickZipPasswordType(), malformed ? -1 : qint32(ZipPasswordTypeNone));
    QCOMPARE(settings.preferredWindowLocation(Settings::Window::Progress), QPointF(0, 0));
    QCOMPARE(settings.preferredWindowLocation(Settings::Window::Destinations), QPointF(0, 0));
    QVERIFY(!settings.passwordRequiredToChangePassword());
    QCOMPARE(settings.lastUsedAskForNameType(), 0);
    QCOMPARE(settings.lastUsedAskForDestinationType(), 0);
    QVERIFY(settings.quickZipName().isNull());
    QVERIFY(!settings.dropPadLocation().has_value());
    QCOMPARE(settings.passwordEncryption(), ZipEncryptionCompatible);
    if (!malformed) // reading writes nothing
        QVERIFY(!QFileInfo::exists(m_home->filePath(u".config/Tessary/Tessary.conf"_s)));
}

void TestKeychain::valuesSurviveARestart()
{
    {
        Settings settings;
        settings.setPasswordRequiredToChangePassword(true);
        settings.setLastUsedAskForNameType(ZipNameTypeDerived);
        settings.setLastUsedAskForDestinationType(9);
        settings.setQuickZipNameType(ZipNameTypePreset);
        settings.setQuickZipPasswordType(ZipPasswordTypeAsk);
        settings.setPreferredWindowLocation(Settings::Window::Progress, QPointF(120.5, -40.25));
        settings.setPreferredWindowLocation(Settings::Window::Destinations, QPointF(3000, 7.1));
        settings.setQuickZipName(u"Weekly Report"_s);
        settings.setDropPadLocation(QPoint(-1200, 340)); // on a screen left of the primary one
        settings.setPasswordEncryption(ZipEncryptionAES256);
    }
    QCOMPARE(SettingsFile().value(u"Password Encryption"_s).toInt(), 1);
    Settings settings;
    QVERIFY(settings.passwordRequiredToChangePassword());
    QCOMPARE(settings.lastUsedAskForNameType(), qint32(ZipNameTypeDerived));
    QCOMPARE(settings.lastUsedAskForDestinationType(), 9);
    QCOMPARE(settings.quickZipNameType(), qint32(ZipNameTypePreset));
    QCOMPARE(settings.quickZipPasswordType(), qint32(ZipPasswordTypeAsk));
    QCOMPARE(settings.preferredWindowLocation(Settings::Window::Progress), QPointF(120.5, -40.25));
    // Locations come back at single precision.
    QCOMPARE(settings.preferredWindowLocation(Settings::Window::Destinations), QPointF(3000, static_cast<float>(7.1)));
    QCOMPARE(settings.quickZipName(), u"Weekly Report"_s);
    QCOMPARE(settings.dropPadLocation(), std::optional(QPoint(-1200, 340)));
    QCOMPARE(settings.passwordEncryption(), ZipEncryptionAES256);

    settings.setQuickZipName(QString());
    QVERIFY(!SettingsFile().contains(u"Quick Zip Name"_s));
    QVERIFY(Settings().quickZipName().isNull());
}

void TestKeychain::keychainSavesFetchesReplacesDeletes()
{
    KeychainQuery query;
    query.setService(u"Test Service"_s);
    query.setAccount(u"anna"_s);
    query.setLabel(u"First label"_s);
    query.setPassword(u"p\u00e4ss w\u00f6rd"_s);
    Error error;
    QVERIFY(query.save(&error));
    QVERIFY(error.isNull());
    QCOMPARE(Keychain::passwordForService(u"Test Service"_s, u"anna"_s), u"p\u00e4ss w\u00f6rd"_s);
    QCOMPARE(Keychain::passwordDataForService(u"Test Service"_s, u"anna"_s), u"p\u00e4ss w\u00f6rd"_s.toUtf8());

    // Replacing changes the secret only; the item keeps its label and stays one item.
    query.setLabel(u"Second label"_s);
    query.setPassword(u"new"_s);
    QVERIFY(query.save());
    QCOMPARE(Keychain::passwordForService(u"Test Service"_s, u"anna"_s), u"new"_s);
    QCOMPARE(labelOf(u"Test Service"_s, u"anna"_s), u"First label"_s);
    QCOMPARE(Keychain::accountsForService(u"Test Service"_s)->size(), 1);

    QVERIFY(Keychain::deletePasswordForService(u"Test Service"_s, u"anna"_s, &error));
    QVERIFY(Keychain::passwordForService(u"Test Service"_s, u"anna"_s).isNull());
}

void TestKeychain::presetPasswordLivesInTheKeychain()
{
    QVERIFY(presetPassword().isNull());
    QVERIFY(setPresetPassword(u"preset secret"_s));
    QCOMPARE(presetPassword(), u"preset secret"_s);
    QCOMPARE(Keychain::passwordForService(u"Tessary"_s, u"Tessary"_s), u"preset secret"_s);
    QVERIFY(!readFile(SettingsFile().fileName()).contains("preset secret"));

    QVERIFY(!setPresetPassword(QString())); // refused: the preset password stays
    QCOMPARE(presetPassword(), u"preset secret"_s);
    QVERIFY(Keychain::deletePasswordForService(u"Tessary"_s, u"Tessary"_s));
}

QTEST_GUILESS_MAIN(TestKeychain)
#include "TestKeychain.moc"
