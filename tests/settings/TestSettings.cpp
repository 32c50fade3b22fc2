#include "TemporaryHome.h"

#include "settings/Settings.h"

#include <QtTest>

using namespace Qt::Literals::StringLiterals;

namespace {
const QStringList kSavedKeys {u"Password Required to Change Password"_s, u"Last Used Ask For Name Type"_s,
    u"Last Used Ask For Destination Type"_s, u"Quick Zip Name Type"_s, u"Quick Zip Password Type"_s,
    u"Preferred Progress Window X"_s, u"Preferred Progress Window Y"_s, u"Preferred Destinations Window X"_s,
    u"Preferred Destinations Window Y"_s, u"Quick Zip Name"_s};
}

class TestSettings : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void emptyStoreGivesTheDefaults();
    void valuesSurviveARestart();
    void malformedValuesReadAsZero();

private:
    std::unique_ptr<TemporaryHome> m_home;
};

void TestSettings::init()
{
    m_home = std::make_unique<TemporaryHome>();
}

void TestSettings::cleanup()
{
    m_home.reset();
}

void TestSettings::emptyStoreGivesTheDefaults()
{
    const Settings settings;
    QCOMPARE(settings.quickZipNameType(), qint32(ZipNameTypeTessaryArchive));
    QCOMPARE(settings.quickZipPasswordType(), qint32(ZipPasswordTypeNone));
    QCOMPARE(settings.preferredProgressWindowLocation(), QPointF(0, 0));
    QCOMPARE(settings.preferredDestinationsWindowLocation(), QPointF(0, 0));
    QVERIFY(!settings.passwordRequiredToChangePassword());
    QCOMPARE(settings.lastUsedAskForNameType(), 0);
    QCOMPARE(settings.lastUsedAskForDestinationType(), 0);
    QVERIFY(settings.quickZipName().isNull());
    QVERIFY(!settings.dropPadLocation().has_value());
    QVERIFY(!QFileInfo::exists(m_home->filePath(u".config/Tessary/Tessary.conf"_s))); // reading writes nothing
}

void TestSettings::valuesSurviveARestart()
{
    {
        Settings settings;
        settings.setPasswordRequiredToChangePassword(true);
        settings.setLastUsedAskForNameType(ZipNameTypeDerived);
        settings.setLastUsedAskForDestinationType(9);
        settings.setQuickZipNameType(ZipNameTypePreset);
        settings.setQuickZipPasswordType(ZipPasswordTypeAsk);
        settings.setPreferredProgressWindowLocation(QPointF(120.5, -40.25));
        settings.setPreferredDestinationsWindowLocation(QPointF(3000, 7.1));
        settings.setQuickZipName(u"Weekly Report"_s);
        settings.setDropPadLocation(QPoint(-1200, 340)); // on a screen left of the primary one
    }
    Settings settings;
    QVERIFY(settings.passwordRequiredToChangePassword());
    QCOMPARE(settings.lastUsedAskForNameType(), qint32(ZipNameTypeDerived));
    QCOMPARE(settings.lastUsedAskForDestinationType(), 9);
    QCOMPARE(settings.quickZipNameType(), qint32(ZipNameTypePreset));
    QCOMPARE(settings.quickZipPasswordType(), qint32(ZipPasswordTypeAsk));
    QCOMPARE(settings.preferredProgressWindowLocation(), QPointF(120.5, -40.25));
    // Locations come back at single precision.
    QCOMPARE(settings.preferredDestinationsWindowLocation(), QPointF(3000, static_cast<float>(7.1)));
    QCOMPARE(settings.quickZipName(), u"Weekly Report"_s);
    QCOMPARE(settings.dropPadLocation(), std::optional(QPoint(-1200, 340)));

    settings.setQuickZipName(QString());
    QVERIFY(!SettingsFile().contains(u"Quick Zip Name"_s));
    QVERIFY(Settings().quickZipName().isNull());
}

void TestSettings::malformedValuesReadAsZero()
{
    {
        SettingsFile file;
        file.setValue(u"Quick Zip Name Type"_s, u"three"_s);
        file.setValue(u"Password Required to Change Password"_s, u"maybe"_s);
        file.setValue(u"Preferred Progress Window X"_s, u"left"_s);
        file.setValue(u"Quick Zip Password Type"_s, 4294967295U); // written unsigned, read back signed
        file.setValue(u"Drop Pad Location"_s, u"top right"_s);
    }
    const Settings settings;
    QCOMPARE(settings.quickZipNameType(), 0);
    QVERIFY(!settings.passwordRequiredToChangePassword());
    QCOMPARE(settings.preferredProgressWindowLocation(), QPointF(0, 0));
    QCOMPARE(settings.quickZipPasswordType(), -1);
    QVERIFY(!settings.dropPadLocation().has_value()); // the pad goes to its first place
}

QTEST_GUILESS_MAIN(TestSettings)
#include "TestSettings.moc"
