// The registration record on its own: written once as it stands, read back, and removed with the
// registration's other files all or none.

#include "base/tqmerror.h"
#include "host/registrationwriter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

namespace {

RegistrationRecord record()
{
    return {"Project", "Project.Application", "A plug-in", "2.00", "Maker", "Product", "4", "1.0"};
}

ino_t inode(const QString &path)
{
    struct stat status {};
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_ino : 0;
}

void touch(const QString &path)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
}

} // namespace

class TestRegistrationWriter : public QObject
{
    Q_OBJECT
private slots:
    void recordIsWrittenOnlyWhenItChanges()
    {
        QTemporaryDir home;
        RegistrationWriter writer(home.path());
        QCOMPARE(writer.read("Project"), RegistrationRecord{});
        writer.commit(record());
        QCOMPARE(writer.read("Project"), record());
        const QString file = writer.recordFile("Project");
        QCOMPARE(file, home.filePath("plugins/Project.ini"));

        const ino_t before = inode(file); // a file rewritten gets a new inode
        writer.commit(record());
        QCOMPARE(inode(file), before);
        RegistrationRecord changed = record();
        changed.version = "1.1";
        writer.commit(changed);
        QCOMPARE(writer.read("Project"), changed);
    }

    // Rows: which of the record and the activation file exist, and whether the activation file
    // cannot be moved aside (a directory of its name with something in it is in the way).
    void unregisterIsAllOrNone_data()
    {
        QTest::addColumn<bool>("withRecord");
        QTest::addColumn<bool>("withActivation");
        QTest::addColumn<bool>("blocked");
        QTest::newRow("nothing registered") << false << false << false;
        QTest::newRow("record only") << true << false << false;
        QTest::newRow("record and activation file") << true << true << false;
        QTest::newRow("activation file stuck: the record stays too") << true << true << true;
    }
    void unregisterIsAllOrNone()
    {
        QFETCH(bool, withRecord);
        QFETCH(bool, withActivation);
        QFETCH(bool, blocked);
        QTemporaryDir home;
        RegistrationWriter writer(home.path());
        const QString activation = home.filePath("activation.service");
        if (withRecord)
            writer.commit(record());
        if (withActivation)
            touch(activation);
        if (blocked) {
            QVERIFY(QDir().mkpath(activation + ".removing"));
            touch(activation + ".removing/in the way");
        }
        try {
            writer.unregister("Project", {activation});
            QVERIFY(!blocked);
        } catch (const TqmError &e) {
            QVERIFY(blocked);
            QCOMPARE(e.number(), TqmError::FileAccess);
            QVERIFY2(e.description().contains(activation), qPrintable(e.description()));
        }
        QCOMPARE(QFile::exists(writer.recordFile("Project")), blocked);
        QCOMPARE(QFile::exists(activation), blocked);
        QVERIFY(!QFile::exists(writer.recordFile("Project") + ".removing"));
    }
};

QTEST_GUILESS_MAIN(TestRegistrationWriter)
#include "tst_registrationwriter.moc"
