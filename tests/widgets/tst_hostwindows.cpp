// The desktop implementations of the host's dialogs.

#include "strings/resstrings.h"
#include "widgets/qttranslations.h"
#include "widgets/statuswindowwidget.h"
#include "widgets/widgetdialogs.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFontDatabase>
#include <QLabel>
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

    // The message box as the user answers it by key, and Qt's own texts (the question box's and the
    // file dialog's) in the session's language, the last row back in English.
    void messageBoxAndFileDialog_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<int>("buttons");
        QTest::addColumn<int>("defaultAnswer");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("yes"); // empty: no Yes button
        QTest::addColumn<QString>("save");
        QTest::newRow("Enter takes the default") << ResStrings::English << int(MsgButtons::YesNo) << int(MsgAnswer::No)
                                                 << int(Qt::Key_Return) << int(MsgAnswer::No) << "&Yes" << "&Save";
        QTest::newRow("Escape cancels, German") << ResStrings::German << int(MsgButtons::YesNoCancel) << int(MsgAnswer::Yes)
                                                << int(Qt::Key_Escape) << int(MsgAnswer::Cancel) << "&Ja" << "S&peichern";
        QTest::newRow("Escape without cancel keeps the default, English") << ResStrings::English << int(MsgButtons::Ok)
            << int(MsgAnswer::Ok) << int(Qt::Key_Escape) << int(MsgAnswer::Ok) << "" << "&Save";
    }
    void messageBoxAndFileDialog()
    {
        QFETCH(int, language);
        QFETCH(int, buttons);
        QFETCH(int, defaultAnswer);
        QFETCH(int, key);
        QVERIFY(widgets::useQtTranslations(language));
        WidgetDialogs dialogs;
        QString shownText, yes;
        QTimer::singleShot(0, this, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box)
                return;
            shownText = box->text();
            yes = box->button(QMessageBox::Yes) ? box->button(QMessageBox::Yes)->text() : QString();
            QTest::keyClick(box, Qt::Key(key));
        });
        const MsgAnswer answer = dialogs.message(QStringLiteral("first\r\nsecond"), QStringLiteral("Title"),
                                                 MsgIcon::Question, MsgButtons(buttons), MsgAnswer(defaultAnswer));
        QTEST(int(answer), "answer");
        QCOMPARE(shownText, QStringLiteral("first\nsecond"));
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

    // The status window's texts take the family the host names where the desktop has it, and
    // keep the desktop's font where it has not (no substitute is looked for).
    void statusWindowFont_data()
    {
        QTest::addColumn<QString>("family");
        QTest::addColumn<int>("labelsWithFamily");
        QTest::newRow("installed") << QFontDatabase::families().value(0) << 2; // version and text
        QTest::newRow("missing") << QStringLiteral("No Such Family Anywhere") << 0;
    }

    void statusWindowFont()
    {
        QFETCH(QString, family);
        StatusWindowWidget window;
        window.setFontName(family);
        int withFamily = 0;
        for (const QLabel *label : window.findChildren<QLabel *>())
            withFamily += label->font().resolveMask() != 0 && label->font().family() == family;
        QTEST(withFamily, "labelsWithFamily");
    }
};

QTEST_MAIN(TstHostWindows)
#include "tst_hostwindows.moc"
