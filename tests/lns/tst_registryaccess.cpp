#include "lns/registryaccess.h"
#include "base/tqmerror.h"

#include <QtTest>

namespace {
const QString Hklm = RegistryAccess::LocalMachine;
const QString Key = QStringLiteral("SOFTWARE\\velto\\otrema Register");
} // namespace

class TestRegistryAccess : public QObject
{
    Q_OBJECT

    QTemporaryDir m_home;

private slots:
    void init()
    {
        QVERIFY(m_home.isValid());
        QFile::remove(RegistryAccess(m_home.path()).storeFile(Hklm));
    }

    void readMissingAnswersDefault_data()
    {
        QTest::addColumn<QString>("root");
        QTest::addColumn<QString>("keyPath");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("value");
        QTest::newRow("missing value") << Hklm << Key << "Options" << "Other";
        QTest::newRow("missing section") << Hklm << Key << "Nothing" << "Language";
        QTest::newRow("missing key") << Hklm << "SOFTWARE\\nobody" << "Options" << "Language";
        QTest::newRow("unknown root") << "../evil" << Key << "Options" << "Language";
        QTest::newRow("empty value name") << Hklm << Key << "Options" << "";
    }
    void readMissingAnswersDefault()
    {
        QFETCH(QString, root);
        QFETCH(QString, keyPath);
        QFETCH(QString, section);
        QFETCH(QString, value);
        RegistryAccess registry(m_home.path());
        registry.WriteValue(Hklm, Key, "Options", "Language", "1");
        QCOMPARE(registry.ReadValue(root, keyPath, section, value, "dflt"), QStringLiteral("dflt"));
    }

    // Root names become file names: only "HKEY_" and capitals or underscores are taken.
    void writeTakesOnlyRegistryRoots_data()
    {
        QTest::addColumn<QString>("root");
        QTest::addColumn<bool>("taken");
        QTest::newRow("local machine") << Hklm << true;
        QTest::newRow("underscores") << "HKEY_A_B_" << true;
        QTest::newRow("prefix only") << "HKEY_" << false;
        QTest::newRow("small letters") << "hkey_local_machine" << false;
        QTest::newRow("digit") << "HKEY_LOCAL1" << false;
        QTest::newRow("path") << "HKEY_A/../B" << false;
        QTest::newRow("line end") << "HKEY_A\n" << false;
    }
    void writeTakesOnlyRegistryRoots()
    {
        QFETCH(QString, root);
        QFETCH(bool, taken);
        RegistryAccess registry(m_home.path());
        if (taken)
            registry.WriteValue(root, Key, "Options", "Language", "1");
        else
            QVERIFY_THROWS_EXCEPTION(TqmError, registry.WriteValue(root, Key, "Options", "Language", "1"));
    }

    // Doubled and trailing separators name the same key. (A value replaced and read by another
    // instance: tst_tools, whose tqm-config runs read the language it sets and sets back.)
    void separatorsNameOneKey()
    {
        RegistryAccess registry(m_home.path());
        registry.WriteValue(Hklm, Key, "Options", "Language", "1000");
        QCOMPARE(registry.ReadValue(Hklm, "SOFTWARE\\\\velto\\otrema Register\\", "Options", "Language", "x"),
                 QStringLiteral("1000"));
    }

    void deleteKeyRemovesSubtreeOnly()
    {
        RegistryAccess registry(m_home.path());
        registry.WriteValue(Hklm, Key, "Options", "Language", "1");
        registry.WriteValue(Hklm, Key + "\\Deeper", "Settings", "Top", "5");
        registry.WriteValue(Hklm, "SOFTWARE\\velto\\Other", "Settings", "Top", "7");
        registry.DeleteKey(Hklm, Key);
        QCOMPARE(registry.ReadValue(Hklm, Key, "Options", "Language", "-"), QStringLiteral("-"));
        QCOMPARE(registry.ReadValue(Hklm, Key + "\\Deeper", "Settings", "Top", "-"), QStringLiteral("-"));
        QCOMPARE(registry.ReadValue(Hklm, "SOFTWARE\\velto\\Other", "Settings", "Top", "-"), QStringLiteral("7"));
        registry.DeleteKey(Hklm, Key); // already gone: no error
        QVERIFY_THROWS_EXCEPTION(TqmError, registry.DeleteKey(Hklm, "\\"));
    }

    void unwritableStoreRaises()
    {
        // A file where the registry directory should be makes the store unwritable.
        QFile blocker(m_home.path() + "/registry");
        QDir(m_home.path() + "/registry").removeRecursively();
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        QVERIFY_THROWS_EXCEPTION(TqmError, RegistryAccess(m_home.path()).WriteValue(Hklm, Key, "Options", "Language", "1"));
        QFile::remove(blocker.fileName());
    }
};

QTEST_GUILESS_MAIN(TestRegistryAccess)
#include "tst_registryaccess.moc"
