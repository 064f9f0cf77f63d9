#include "lnsfakes.h"
#include "lns/userdialogs.h"
#include "session/devicelog.h"
#include "session/hostlogger.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

class TstHostLogger : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_clock.set(QDateTime(QDate(2026, 3, 2), QTime(8, 15, 30)));
        m_dialogs = ScriptedDialogs();
    }

    void unwritableDirectoryFallsBack()
    {
        // A file where the directory should be: nothing can be created below it.
        QFile blocker(m_dir->filePath(QStringLiteral("bin")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        LoggerSetup setup = setupIn(blocker.fileName());
        setup.fallbackDirectory = m_dir->filePath(QStringLiteral("state/tqm"));

        HostLogger logger(m_clock, m_dialogs);
        logger.setUp(setup);
        logger.logLine(QStringLiteral("label"));
        const QString fallback = m_dir->filePath(QStringLiteral("state/tqm/prog.LOG"));
        QCOMPARE(logger.filePath(), fallback);
        const QStringList lines = readAll(fallback).split(QLatin1Char('\n'));
        QVERIFY2(lines.first().contains(QStringLiteral("cannot be written")), qPrintable(lines.first()));
        QVERIFY(lines.first().contains(fallback));
        QVERIFY(readAll(fallback).contains(QStringLiteral("label")));
    }

    // Every start names the version, the command and the language; every line reaches the file
    // with a time stamp, whether or not a view is attached. In a view a line may end with the
    // time and blank lines, and a timed line begins with the time; green and blue are shown
    // darker, other colours and the style as given, and a red line raises the error flag.
    void everyLineReachesTheFile()
    {
        HostLogger logger(m_clock, m_dialogs);
        LoggerSetup setup = setupIn(m_dir->path());
        setup.startCommand = QStringLiteral("/COMMANDID:13 /CLASSID:28");
        logger.setUp(setup);
        logger.logLine(QStringLiteral("[M_PlugIn] Public Sub Main()"));
        logger.addLogLine(QStringLiteral("Writing ..."), logcolour::Blue);
        logger.logLine(QStringLiteral("Set-point 21.5 \u00b0C\r\nrange\rfrom\nlimits"));
        MemoryLogView view;
        MemoryLogView timed;
        logger.setView(&view);
        logger.setTimedView(&timed);
        logger.addLogLine(QStringLiteral("Done"), logcolour::Black, 0, true, 2);
        logger.addTimedLine(QStringLiteral("21.5"), logcolour::Green);
        logger.addLogLine(QStringLiteral("green"), logcolour::Green);
        logger.addLogLine(QStringLiteral("blue"), logcolour::Blue, 7);
        logger.addLogLine(QStringLiteral("grey"), 0x808080);
        QVERIFY(!logger.loggerOnErrorFlag());
        logger.addLogLine(QStringLiteral("red"), logcolour::Red);
        QVERIFY(logger.loggerOnErrorFlag());
        QStringList shown; // text, colour, style
        for (const LogViewLine &line : view.lines)
            shown.append(QStringLiteral("%1 %2 %3").arg(line.text).arg(line.colour).arg(line.style));
        QCOMPARE(shown, (QStringList{"Done - 08:15:30 0 0", " 0 0", " 0 0", "green 32768 0", "blue 12582912 7", "grey 8421504 0",
                                     "red 255 0"}));
        QCOMPARE(timed.lines.size(), 1);
        QCOMPARE(timed.lines[0].text, QStringLiteral("08:15:30 :21.5"));
        LoggerSetup german = setupIn(m_dir->path()); // a second start, without arguments
        german.sessionLanguage = 1000;
        logger.setUp(german);
        QCOMPARE(logger.filePath(), m_dir->filePath(QStringLiteral("prog.LOG")));
        QCOMPARE(readAll(logger.filePath()).split(QLatin1Char('\n'), Qt::SkipEmptyParts),
                 (QStringList{"2026-03-02 08:15:30.000  product 1.0.0 started with: /COMMANDID:13 /CLASSID:28 (language English)",
                              "2026-03-02 08:15:30.000  [M_PlugIn] Public Sub Main()",
                              "2026-03-02 08:15:30.000  Writing ...",
                              "2026-03-02 08:15:30.000  Set-point 21.5 \u00b0C",
                              "                        range",
                              "                        from",
                              "                        limits",
                              "2026-03-02 08:15:30.000  Done - 08:15:30",
                              "2026-03-02 08:15:30.000  08:15:30 :21.5",
                              "2026-03-02 08:15:30.000  green", "2026-03-02 08:15:30.000  blue",
                              "2026-03-02 08:15:30.000  grey", "2026-03-02 08:15:30.000  red",
                              "2026-03-02 08:15:30.000  product 1.0.0 started without arguments (language German)"}));
    }

    void fullLogIsKeptAsideOnce()
    {
        const QString path = m_dir->filePath(QStringLiteral("prog.LOG"));
        LoggerSetup setup = setupIn(m_dir->path());
        setup.maximumSize = 400;
        {
            HostLogger logger(m_clock, m_dialogs);
            logger.setUp(setup);
            for (int n = 1; n <= 30; ++n)
                logger.logLine(QStringLiteral("line %1").arg(n));
        }
        QVERIFY(QFileInfo(path).size() < setup.maximumSize);
        QVERIFY(QFileInfo(path + ".1").size() >= setup.maximumSize);
        QVERIFY(!QFile::exists(path + ".2"));
        QVERIFY(readAll(path).contains(QStringLiteral("line 30\n")));
        // The file kept aside is the latest full one, not the first.
        QVERIFY(!readAll(path + ".1").contains(QStringLiteral("line 1\n")));

        // A start that finds a full log (the limit was lowered since) begins a new one.
        QFile full(path);
        QVERIFY(full.open(QIODevice::WriteOnly) && full.write(QByteArray(300, 'x')) == 300);
        full.close();
        setup.maximumSize = 200;
        HostLogger logger(m_clock, m_dialogs);
        logger.setUp(setup);
        QVERIFY(readAll(path).startsWith(QStringLiteral("2026-03-02 08:15:30.000  product 1.0.0 started")));
        QCOMPARE(readAll(path + ".1"), QString(300, QLatin1Char('x')));
    }

    void handleErrorAnswers_data()
    {
        QTest::addColumn<int>("userAnswer"); // -1: the box's default (unattended)
        QTest::addColumn<int>("answer");
        QTest::newRow("retry") << int(MsgAnswer::Retry) << int(ErrorAnswer::Retry);
        QTest::newRow("ignore continues") << int(MsgAnswer::Ignore) << int(ErrorAnswer::Continue);
        QTest::newRow("abort leaves the routine") << int(MsgAnswer::Abort) << int(ErrorAnswer::Leave);
        QTest::newRow("close ends the program") << int(MsgAnswer::Close) << int(ErrorAnswer::End);
        QTest::newRow("default leaves the routine") << -1 << int(ErrorAnswer::Leave);
    }
    void handleErrorAnswers()
    {
        QFETCH(int, userAnswer);
        if (userAnswer >= 0)
            m_dialogs.answers.enqueue(MsgAnswer(userAnswer));
        HostLogger logger(m_clock, m_dialogs);
        MemoryLogView view;
        logger.setView(&view);
        const TqmError error(TqmError::IniFileError, QStringLiteral("FetchCPs"), QStringLiteral("INI - File Error : x"));
        QTEST(int(logger.handleError(error, QStringLiteral("M_PlugInSpecific"), QStringLiteral("FetchCPs"))), "answer");
        QCOMPARE(m_dialogs.messages.size(), 1);
        QVERIFY(m_dialogs.messages[0].text.contains(QStringLiteral("INI - File Error : x")));
        QVERIFY(m_dialogs.messages[0].text.contains(QStringLiteral("M_PlugInSpecific.FetchCPs")));
        QCOMPARE(view.lines.last().colour, logcolour::Red); // which raises the error flag (colours)
    }

    void deviceHeading_data()
    {
        // Steps: device name, subsystem path, LonMark object ("" none), seconds to wait before.
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("first heading in full") << QStringList{"CM 1|A/F1|CommandModule|0"}
                                               << QStringList{"  - A/F1", "    - CM 1", "      - CommandModule"};
        QTest::newRow("same path: device line only")
            << QStringList{"CM 1|A/F1||0", "CM 2|A/F1||3"} << QStringList{"  - A/F1", "    - CM 1", "    - CM 2"};
        QTest::newRow("same device: object line only")
            << QStringList{"CM 1|A/F1|CommandModule|0", "CM 1|A/F1|CommandModule|14"}
            << QStringList{"  - A/F1", "    - CM 1", "      - CommandModule", "      - CommandModule"};
        QTest::newRow("after 15 seconds the path repeats")
            << QStringList{"CM 1|A/F1||0", "CM 1|A/F1||15"}
            << QStringList{"  - A/F1", "    - CM 1", "  - A/F1", "    - CM 1"};
        QTest::newRow("other path") << QStringList{"CM 1|A/F1||0", "CM 1|B/F1||1"}
                                    << QStringList{"  - A/F1", "    - CM 1", "  - B/F1", "    - CM 1"};
    }
    void deviceHeading()
    {
        QFETCH(QStringList, steps);
        const auto subsystem = [](const char *parentPath) {
            auto made = std::make_shared<fake::Subsystem>(QStringLiteral("F1"), QLatin1String(parentPath));
            made->build();
            return made;
        };
        const auto a = subsystem("A"), b = subsystem("B");
        const QHash<QString, fake::DevicePtr> devices{
            {"CM 1|A/F1", a->addDevice("CM 1")}, {"CM 2|A/F1", a->addDevice("CM 2")}, {"CM 1|B/F1", b->addDevice("CM 1")}};
        MemoryLogger logger;
        DeviceHeading heading(logger, m_clock);
        for (const QString &step : steps) {
            const QStringList f = step.split(QLatin1Char('|'));
            m_clock.advanceSeconds(f[3].toInt());
            const fake::DevicePtr device = devices.value(f[0] + QLatin1Char('|') + f[1]);
            heading.log(device, f[2].isEmpty() ? nullptr : device->objects()->list.at(1), 0, 15);
        }
        QTEST(logger.texts(), "expected");
        QCOMPARE((QList<qint32>{logger.lines[0].colour, logger.lines[0].style, logger.lines[1].colour}),
                 (QList<qint32>{logcolour::DarkGreen, -1, logcolour::Black}));
    }

private:
    static QString readAll(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

    static LoggerSetup setupIn(const QString &directory)
    {
        LoggerSetup setup;
        setup.fileName = QStringLiteral("prog.LOG");
        setup.directory = directory;
        setup.versionMajor = 1;
        setup.productName = QStringLiteral("product");
        return setup;
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    ManualClock m_clock;
    ScriptedDialogs m_dialogs;
};

QTEST_GUILESS_MAIN(TstHostLogger)
#include "tst_hostlogger.moc"
