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
    // Each row writes in order: positions ("top left", a trailing "min" when minimised; "top"
    // alone is written as the registry's text), "shared N" (the family's language), "product N"
    // (the product's language, as /REG writes it) or "delete" (the product key, as /UNREG does).
    // Read back: "top left | language | the product's language".
    void writtenThenRead_data()
    {
        QTest::addColumn<QStringList>("writes");
        QTest::addColumn<QString>("read");
        QTest::newRow("unset: where the window system puts it") << QStringList{} << "-1 -1 | 0 | none";
        QTest::newRow("whole twips, nearest") << QStringList{"1500.4 700.6"} << "1500 701 | 0 | none";
        QTest::newRow("a minimised window keeps the last normal position")
            << QStringList{"1500 700", "0 0 min"} << "1500 700 | 0 | none";
        QTest::newRow("minimised from the start stores nothing") << QStringList{"10 20 min"} << "-1 -1 | 0 | none";
        QTest::newRow("unreadable: unset") << QStringList{"high"} << "-1 -1 | 0 | none";
        QTest::newRow("the product's language is not the family's")
            << QStringList{"shared 1000", "product 0"} << "-1 -1 | 1000 | 0";
        QTest::newRow("the product key goes whole, the family's language stays")
            << QStringList{"shared 1000", "product 0", "100 200", "delete"} << "-1 -1 | 1000 | none";
    }
    void writtenThenRead()
    {
        QFETCH(QStringList, writes);
        QTemporaryDir home;
        RegistryAccess registry(home.path());
        for (const QString &write : writes) {
            const QStringList w = write.split(' ');
            if (w[0] == QLatin1String("shared"))
                settings::writeLanguage(registry, qint16(w[1].toInt()));
            else if (w[0] == QLatin1String("product"))
                settings::writeProductLanguage(registry, qint16(w[1].toInt()));
            else if (w[0] == QLatin1String("delete"))
                settings::deleteProductKey(registry);
            else if (w.size() == 1)
                registry.WriteValue(RegistryAccess::LocalMachine, settings::productKey(), settings::SettingsSection,
                                    settings::TopValue, w[0]);
            else
                settings::writeWindowPosition(registry, w[0].toDouble(), w[1].toDouble(), w.size() > 2);
        }
        const settings::WindowPosition position = settings::readWindowPosition(registry);
        const QString product = registry.ReadValue(RegistryAccess::LocalMachine, settings::productKey(),
                                                   settings::OptionsSection, settings::LanguageValue, QStringLiteral("none"));
        QTEST(QStringLiteral("%1 %2 | %3 | %4").arg(position.top).arg(position.left).arg(settings::readLanguage(registry))
                  .arg(product),
              "read");
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
