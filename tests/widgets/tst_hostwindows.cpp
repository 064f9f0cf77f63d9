// The desktop implementations of the host's dialogs.

#include "strings/resstrings.h"
#include "widgets/qttranslations.h"
#include "widgets/widgetdialogs.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

class TstHostWindows : public QObject
{
    Q_OBJECT
private slots:
    void fileFilter_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("qt");
        QTest::newRow("two entries") << "Data (*.dat)|*.dat|All (*.*)|*.*" << "Data (*.dat);;All (*.*)";
        QTest::newRow("one entry") << "Data (*.dat)|*.dat" << "Data (*.dat)";
        QTest::newRow("description only") << "Data (*.dat)" << "Data (*.dat)";
        QTest::newRow("empty") << "" << "";
    }

    void fileFilter()
    {
        QFETCH(QString, filter);
        QTEST(WidgetDialogs::qtFilter(filter), "qt");
    }

    void messageBoxAnswers_data()
    {
        QTest::addColumn<int>("buttons");
        QTest::addColumn<int>("defaultAnswer");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("answer");
        QTest::newRow("Enter takes the default")
            << int(MsgButtons::YesNo) << int(MsgAnswer::No) << int(Qt::Key_Return) << int(MsgAnswer::No);
        QTest::newRow("Escape cancels") << int(MsgButtons::YesNoCancel) << int(MsgAnswer::Yes) << int(Qt::Key_Escape)
                                        << int(MsgAnswer::Cancel);
        QTest::newRow("Escape without cancel keeps the default")
            << int(MsgButtons::Ok) << int(MsgAnswer::Ok) << int(Qt::Key_Escape) << int(MsgAnswer::Ok);
    }

    void messageBoxAnswers()
    {
        QFETCH(int, buttons);
        QFETCH(int, defaultAnswer);
        QFETCH(int, key);
        WidgetDialogs dialogs;
        QString shownText;
        QTimer::singleShot(0, this, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box)
                return;
            shownText = box->text();
            QTest::keyClick(box, Qt::Key(key));
        });
        const MsgAnswer answer = dialogs.message(QStringLiteral("first\r\nsecond"), QStringLiteral("Title"),
                                                 MsgIcon::Question, MsgButtons(buttons), MsgAnswer(defaultAnswer));
        QTEST(int(answer), "answer");
        QCOMPARE(shownText, QStringLiteral("first\nsecond"));
    }

    void qtTextsInTheSessionLanguage_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("yes");
        QTest::addColumn<QString>("save");
        QTest::newRow("English") << ResStrings::English << "&Yes" << "&Save";
        QTest::newRow("German") << ResStrings::German << "&Ja" << "S&peichern";
        QTest::newRow("back to English") << ResStrings::English << "&Yes" << "&Save";
    }

    // The question box and the file dialog speak the session's language.
    void qtTextsInTheSessionLanguage()
    {
        QFETCH(int, language);
        QVERIFY(widgets::useQtTranslations(language));
        WidgetDialogs dialogs;
        QString yes;
        QTimer::singleShot(0, this, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box)
                return;
            yes = box->button(QMessageBox::Yes)->text();
            QTest::keyClick(box, Qt::Key_Escape);
        });
        dialogs.message(QStringLiteral("?"), QStringLiteral("Title"), MsgIcon::Question, MsgButtons::YesNo, MsgAnswer::No);
        QTEST(yes, "yes");

        QString save;
        QTimer::singleShot(0, this, [&] {
            auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            save = dialog->findChild<QDialogButtonBox *>()->buttons().first()->text();
            dialog->reject();
        });
        dialogs.fileName({QStringLiteral("Save"), QStringLiteral("Data (*.dat)|*.dat"), QDir::tempPath(), true});
        QTEST(save, "save");
    }
};

QTEST_MAIN(TstHostWindows)
#include "tst_hostwindows.moc"
