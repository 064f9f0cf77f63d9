// The pictures of the configure window: every page a template's window offers, in both
// languages, named as documented, each a drawn window.

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class TstScreenshots : public QObject
{
    Q_OBJECT
private slots:
    void everyPageOfTheChosenTemplates()
    {
        QTemporaryDir home;
        QTemporaryDir pictures;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TQM_HOME"), home.path());
        QProcess process;
        process.setProcessEnvironment(env);
        process.start(qEnvironmentVariable("TQM_BIN_DIR") + QStringLiteral("/tqm-screenshots"),
                      {pictures.path(), QStringLiteral("TQM_CM_L2"), QStringLiteral("TQM_CM_STD")});
        QVERIFY(process.waitForFinished(120000));
        QCOMPARE(process.exitCode(), 0);

        // The standard device offers every page; the limitation-2 device neither the operation nor
        // the turning-knob page.
        QStringList expected;
        for (const char *lang : {"en", "de"}) {
            for (const char *page : {"configuration-temperature-measuring", "configuration-operation", "configuration-nv-timing",
                                     "configuration-logger", "configuration-nv-timing-invalid", "configuration-nv-timing-limit",
                                     "help-device-info", "calibration-temperature-sensor",
                                     "calibration-turning-knob", "calibration-logger", "monitoring-monitoring"}) {
                expected << QStringLiteral("TQM_CM_STD-%1-%2.png").arg(QLatin1String(lang), QLatin1String(page));
                const QString name = QLatin1String(page);
                if (!name.endsWith(QLatin1String("operation")) && !name.endsWith(QLatin1String("turning-knob")))
                    expected << QStringLiteral("TQM_CM_L2-%1-%2.png").arg(QLatin1String(lang), name);
            }
            // The standard device not answering, and Qt's boxes in the session's language.
            for (const char *picture : {"offline-configure", "offline-logger", "question-box", "file-dialog"})
                expected << QStringLiteral("TQM_CM_STD-%1-%2.png").arg(QLatin1String(lang), QLatin1String(picture));
            // The calibration pages in each arrangement, on standard devices.
            for (const char *arrangement : {"two-stop", "reset", "reset-copy", "centre"}) {
                for (const char *page : {"temperature-sensor", "turning-knob"})
                    expected << QStringLiteral("TQM_CM_STD-%1-calibration-%2-%3.png").arg(QLatin1String(lang), QLatin1String(arrangement), QLatin1String(page));
            }
        }
        expected.sort();
        QCOMPARE(QDir(pictures.path()).entryList({"*.png"}, QDir::Files, QDir::Name), expected);

        // The paths printed are the pictures made; each is a drawn window, not an empty one.
        const QStringList printed = QString::fromUtf8(process.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(printed.size(), expected.size());
        const QImage picture(QDir(pictures.path()).filePath(QStringLiteral("TQM_CM_STD-de-configuration-operation.png")));
        QVERIFY(picture.width() > 400 && picture.height() > 400);
        QVERIFY(picture.pixel(picture.width() / 2, picture.height() / 2) != picture.pixel(2, 2)
                || picture.pixel(30, 30) != picture.pixel(2, 2));
        const auto knobPage = [&](const char *arrangement) {
            return QImage(QDir(pictures.path()).filePath(QStringLiteral("TQM_CM_STD-en-calibration-%1-turning-knob.png").arg(QLatin1String(arrangement))));
        };
        QVERIFY(knobPage("two-stop") != knobPage("reset") && knobPage("reset") != knobPage("centre"));
    }
};

QTEST_MAIN(TstScreenshots)
#include "tst_screenshots.moc"
