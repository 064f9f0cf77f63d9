// The plug-in's settings in the machine registry: the family's language, this product's own
// key, and the window position (kept from the last normal window, whole twips).

#include "lns/registryaccess.h"
#include "session/settings.h"

#include <QTemporaryDir>
#include <QTest>

class TestSettings : public QObject
{
    Q_OBJECT
private slots:
    // Each row writes positions in order ("top left", a trailing "min" when minimised; "top"
    // alone is written as the registry's text).
    void windowPosition_data()
    {
        QTest::addColumn<QStringList>("writes");
        QTest::addColumn<double>("top");
        QTest::addColumn<double>("left");
        QTest::newRow("unset: where the window system puts it") << QStringList{} << -1.0 << -1.0;
        QTest::newRow("whole twips, nearest") << QStringList{"1500.4 700.6"} << 1500.0 << 701.0;
        QTest::newRow("a minimised window keeps the last normal position")
            << QStringList{"1500 700", "0 0 min"} << 1500.0 << 700.0;
        QTest::newRow("minimised from the start stores nothing") << QStringList{"10 20 min"} << -1.0 << -1.0;
        QTest::newRow("unreadable: unset") << QStringList{"high"} << -1.0 << -1.0;
    }
    void windowPosition()
    {
        QFETCH(QStringList, writes);
        QTemporaryDir home;
        RegistryAccess registry(home.path());
        for (const QString &write : writes) {
            const QStringList w = write.split(' ');
            if (w.size() == 1)
                registry.WriteValue(RegistryAccess::LocalMachine, settings::productKey(), settings::SettingsSection,
                                    settings::TopValue, w[0]);
            else
                settings::writeWindowPosition(registry, w[0].toDouble(), w[1].toDouble(), w.size() > 2);
        }
        const settings::WindowPosition position = settings::readWindowPosition(registry);
        QTEST(position.top, "top");
        QTEST(position.left, "left");
    }

    // The family's language is shared; the product key (language of "REG", position) goes
    // whole with "UNREG" and leaves the shared one.
    void languageAndProductKey()
    {
        QTemporaryDir home;
        RegistryAccess registry(home.path());
        QCOMPARE(settings::readLanguage(registry), qint16(0));
        settings::writeLanguage(registry, 1000);
        settings::writeProductLanguage(registry, 0);
        settings::writeWindowPosition(registry, 100, 200, false);
        QCOMPARE(settings::readLanguage(registry), qint16(1000));

        settings::deleteProductKey(registry);
        QCOMPARE(settings::readWindowPosition(registry).left, -1.0);
        QCOMPARE(registry.ReadValue(RegistryAccess::LocalMachine, settings::productKey(), settings::OptionsSection,
                                    settings::LanguageValue, QStringLiteral("gone")),
                 QStringLiteral("gone"));
        QCOMPARE(settings::readLanguage(registry), qint16(1000));
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
