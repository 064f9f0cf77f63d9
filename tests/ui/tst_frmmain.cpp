// The main window's logic on the demo network with the in-memory view: what Display offers per
// device variant and command, view, tab and page selection, the control-event rules, the button
// line, the menu commands, the closing question and the window position.

#include "windowrig.h"

#include "calibration/knobcalibration.h"
#include "params/choiceparams.h"
#include "params/cparams.h"
#include "params/cparamtextbox.h"
#include "params/rawparams.h"
#include "session/settings.h"
#include "ui/operationpage.h"

using namespace ui;

namespace {

QStringList itemKeys(const MemoryMainWindowView &view)
{
    QStringList keys;
    for (const ButtonBarItem &item : view.buttonBarItems())
        keys.append(item.key);
    return keys;
}

bool shown(const MemoryMainWindowView &view, Element element)
{
    return view.isVisible(element) && view.isEnabled(element) && view.geometry(element).left > -20000
        && view.geometry(element).top < 30000;
}

const Element SwitchFrame[] = {Element::frame(Frame::SwitchPosition0), Element::frame(Frame::SwitchPosition1),
                               Element::frame(Frame::SwitchPosition2)};

} // namespace

class TestFrmMain : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { setLanguage(ResStrings::English); }

    void displayFollowsTheVariant_data()
    {
        QTest::addColumn<QString>("device");
        QTest::addColumn<QStringList>("configurationTabs");
        QTest::addColumn<QStringList>("calibrationTabs");
        QTest::addColumn<bool>("toggleSwitch");
        QTest::addColumn<bool>("pushButtons");
        QTest::addColumn<bool>("monitorFrames");
        QTest::addColumn<bool>("theme"); // the desktop's: the pages take its window colour, else the classic one
        const QStringList all{"KEY:0", "KEY:1", "KEY:5", "KEY:6"};
        const QStringList noOperation{"KEY:0", "KEY:5", "KEY:6"};
        const QStringList knob{"KEY:2", "KEY:3", "KEY:6"};
        const QStringList noKnob{"KEY:2", "KEY:6"};
        QTest::newRow("L1, classic") << "CM 1.01" << all << noKnob << false << false << true << false;
        QTest::newRow("L2") << "CM 1.02" << noOperation << noKnob << true << false << false << true;
        QTest::newRow("L3") << "CM 1.03" << all << knob << true << false << false << true;
        QTest::newRow("L4") << "CM 1.04" << all << noKnob << false << true << false << true;
        // The standard template offers no button mode: nothing of the toggle switch to set.
        QTest::newRow("STD") << "CM 1.06" << all << knob << false << false << true << true;
    }
    void displayFollowsTheVariant()
    {
        QFETCH(QString, device);
        QFETCH(bool, toggleSwitch);
        QFETCH(bool, pushButtons);
        QFETCH(bool, theme);
        WindowRig rig;
        rig.view.theme = theme;
        rig.open(device);
        const MemoryMainWindowView &view = rig.view;
        QCOMPARE(view.backgroundColour, theme ? controls::colour::WindowBackground : controls::colour::ButtonFace);
        QVERIFY(view.backgroundKinds.contains("commandbutton"));
        const Rect first = view.geometry(Element::page(0));
        for (int page = 1; page < PageCount; ++page) // stacked, all of one size
            QCOMPARE(QSizeF(view.geometry(Element::page(page)).width, view.geometry(Element::page(page)).height),
                     QSizeF(first.width, first.height));

        QTEST(view.tabKeys(0), "configurationTabs");
        QTEST(view.tabKeys(2), "calibrationTabs");
        QCOMPARE(view.isVisible(Element::comboBox(1)), toggleSwitch);
        QCOMPARE(view.isVisible(Element::label(1055)), toggleSwitch);
        for (Element frame : SwitchFrame)
            QVERIFY(toggleSwitch || !shown(view, frame));
        QCOMPARE(shown(view, Element::frame(Frame::SetPointButtons)), pushButtons);
        QCOMPARE(shown(view, Element::frame(Frame::FanSpeedButtons)), pushButtons);
        if (pushButtons) {
            const Rect setPoint = view.geometry(Element::frame(Frame::SetPointButtons));
            QCOMPARE(view.geometry(Element::frame(Frame::FanSpeedButtons)).top, setPoint.top + setPoint.height + 120);
        }
        // The frames the design shows before the monitoring knows the mode (the fan-speed and
        // occupancy frames take turns with the controller function's).
        for (Frame frame : {Frame::MonitorControllerFunction, Frame::MonitorSetPointOffset})
            QTEST(shown(view, Element::frame(frame)), "monitorFrames");

        // Read, with nothing to write (the first view and page shown: viewsAndMenusPerCommand).
        QVERIFY(rig.logger.texts().contains(GetResString(1550, 2)) && view.textBox(3)->text() == "21.0");
    }

    // Started without a device (stand-alone), the title names the program and what needs a
    // device is off.
    void viewsAndMenusPerCommand_data()
    {
        QTest::addColumn<int>("command");
        QTest::addColumn<QString>("device");
        QTest::addColumn<bool>("online");
        QTest::addColumn<QStringList>("views");
        QTest::addColumn<bool>("fileHandling");
        QTest::newRow("configure") << 1 << "CM 1.06" << true << QStringList{"0", "2", "1"} << true;
        QTest::newRow("configure, device silent") << 1 << "CM 1.06" << false << QStringList{"0"} << true;
        QTest::newRow("calibrate") << 2 << "CM 1.06" << true << QStringList{"2"} << false;
        QTest::newRow("monitor") << 3 << "CM 1.06" << true << QStringList{"1"} << false;
        QTest::newRow("stand-alone") << 100 << "" << true << QStringList{"0"} << true;
    }
    void viewsAndMenusPerCommand()
    {
        QFETCH(int, command);
        QFETCH(QString, device);
        QFETCH(bool, online);
        QFETCH(bool, fileHandling);
        WindowRig rig;
        rig.setOnline("CM 1.06", online);
        rig.open(device, command);
        QTEST(itemKeys(rig.view), "views");
        for (const char *key : {"OpenFile", "SaveFile", "ReadParameters", "WriteParameters", "SpreadParameters"}) {
            QCOMPARE(rig.view.menuToolVisible({"File", key}), fileHandling);
            QVERIFY(!fileHandling || rig.view.menuToolEnabled({"File", key}) == !device.isEmpty());
        }
        QVERIFY(rig.view.menuToolVisible({"File", "Quit"}) && rig.view.menuToolEnabled({"File", "Quit"}));
        QVERIFY(!device.isEmpty()
                || (rig.view.windowCaption() == GetResString(1809) && !rig.view.menuToolEnabled({"Help", "DeviceInfo"})));
        // The first view offered is the one shown.
        QCOMPARE(rig.view.visibleTabStrip(), itemKeys(rig.view).first().toInt());
    }

    void viewSelectionSwitchesMonitoringAndPages()
    {
        WindowRig rig("CM 1.06");
        rig.monitoring.clear();
        QVERIFY(rig.view.clickButtonBarItem("1"));
        QVERIFY(rig.view.visibleTabStrip() == 1 && rig.window->currentPageKey() == 4);
        QVERIFY(rig.view.clickButtonBarItem("0"));
        QCOMPARE(rig.monitoring, (QList<bool>{true, false}));

        QVERIFY(rig.view.clickTab("KEY:5"));
        for (int page = 0; page < PageCount; ++page)
            QCOMPARE(shown(rig.view, Element::page(page)), page == 5);
        const Rect client = rig.view.clientArea(0);
        QCOMPARE(rig.view.geometry(Element::page(5)).left, client.left);
        QCOMPARE(rig.view.geometry(Element::page(5)).top, client.top);
        rig.view.pressF1();
        QCOMPARE(rig.trace.last(), QStringLiteral("help:/help/index.html 1005"));

        // The monitoring view has no logger tab: showing the logger goes to the first view's.
        QVERIFY(rig.view.clickButtonBarItem("1"));
        rig.window->configurationWindow().ShowLogger();
        QVERIFY(rig.view.visibleTabStrip() == 0);
        QVERIFY(rig.view.selectedTabKey(0) == "KEY:6" && rig.window->currentPageKey() == 6);
    }

    // A device that stops answering turns the calibrate buttons of the knob page off when it is
    // shown again, and the page says why (a click then: tst_calibrationpages
    // silentDeviceIsNotCalibrated). Ending the plug-in stops the page's timer while a two-stop
    // calibration waits for its second stop.
    void calibrateButtonsFollowTheDevice()
    {
        WindowRig rig("CM 1.06", 2);
        QVERIFY(rig.view.clickTab("KEY:3") && rig.view.clickCommandButton(1));
        rig.clock.advanceMs(1200);
        QCOMPARE(rig.window->knobPage().procedure()->tickCount(), 2);
        rig.setOnline("CM 1.06", false);
        QVERIFY(rig.view.clickTab("KEY:2") && rig.view.clickTab("KEY:3"));
        for (int button : {1, 3, 4})
            QVERIFY(!rig.view.isEnabled(Element::commandButton(button)));
        QCOMPARE(rig.view.caption(Element::label(labels::KnobResult)), GetResString(1573, 1, {"CM 1.06"}));
        rig.window->detach();
        rig.clock.advanceMs(1000);
        QCOMPARE(rig.window->knobPage().procedure()->tickCount(), 2);
    }

    void heartbeatCheckBoxes_data()
    {
        QTest::addColumn<int>("checkBox");
        QTest::addColumn<QString>("parameter");
        QTest::newRow("send") << 1 << "MaxSendTime";
        QTest::newRow("receive") << 0 << "MaxReceiveTime";
    }
    void heartbeatCheckBoxes()
    {
        QFETCH(int, checkBox);
        QFETCH(QString, parameter);
        WindowRig rig("CM 1.06");
        cParamTextBox *time = rig.window->configuration()->Parameters()->TextBoxParameterByName(parameter);
        controls::MemoryCheckBox *box = rig.view.checkBox(checkBox);
        QCOMPARE(box->value() == controls::Checked, time->Value() != 0);
        QCOMPARE(time->TextBoxControl()->enabled(), time->Value() != 0);
        if (box->value() != controls::Checked)
            box->click();
        QVERIFY(time->ValueCalc() == 60.0f && time->TextBoxControl()->enabled());
        QVERIFY(rig.view.lineButtonEnabled(LineButton::Apply));
        box->click();
        QVERIFY(time->Value() == 0 && !time->TextBoxControl()->enabled());
    }

    // Choosing the number of fan levels rebuilds both position lists; a position chosen is
    // stored, one chosen while the program fills the controls is not, and the stored one is
    // shown again (what is stored for a level: fanPositionsRoundTrip).
    void fanLevelsAndPositions()
    {
        WindowRig rig("CM 1.06");
        QVERIFY(rig.view.comboBox(4)->chooseItem(GetResString(1063, 3)));
        for (int box : {5, 6})
            QCOMPARE(rig.view.comboBox(box)->count(), 4);
        QCOMPARE(rig.window->configuration()->FanCoilStepCount(), 3);

        controls::MemoryComboBox *upper = rig.view.comboBox(5);
        upper->setListIndex(3);
        cParams *params = rig.window->configuration()->Parameters();
        QCOMPARE(params->Parameter2ByteByName("FanSpeedOn")->Value1(), 198);
        rig.view.comboBox(6)->setListIndex(0);
        QCOMPARE(params->Parameter2ByteByName("FanSpeedOff")->Value2(), 0);

        rig.window->configurationWindow().setUpdatingControls(true);
        upper->setListIndex(0);
        rig.window->configurationWindow().setUpdatingControls(false);
        rig.window->configurationWindow().SetControls();
        QCOMPARE(upper->itemData(upper->listIndex()), 3);
    }

    // A position is stored as its level in 0.5 % steps (of three levels the top one as
    // 3 x 33 %) and shows as that level again.
    void fanPositionsRoundTrip_data()
    {
        QTest::addColumn<int>("levels");
        QTest::addColumn<int>("level");
        QTest::addColumn<int>("halfPercent");
        QTest::newRow("one level, on") << 1 << 1 << 200;
        QTest::newRow("three levels, top") << 3 << 3 << 198;
        QTest::newRow("five levels, first") << 5 << 1 << 40;
        QTest::newRow("off") << 2 << 0 << 0;
    }
    void fanPositionsRoundTrip()
    {
        QFETCH(int, levels);
        QFETCH(int, level);
        const FanPosition stored = fanPositionOfLevel(level, levels);
        QTEST(int(stored.halfPercent), "halfPercent");
        QCOMPARE(stored.state, level > 0 ? 1 : 0);
        QCOMPARE(levelOfFanPosition(stored, levels), level);
        QCOMPARE(fanPositionItems(levels).size(), levels == 1 ? 2 : levels + 1);
        // Stored by other tools: a percentage between two levels shows the higher; off is off.
        if (level < levels)
            QCOMPARE(levelOfFanPosition({stored.halfPercent + 1, 1}, levels), level + 1);
        QCOMPARE(levelOfFanPosition({stored.halfPercent + 1, 0}, levels), 0);
    }

    // The toggle switch's function shows its frame, one after the other: the mode's, the HVAC
    // mode's, none when not available.
    void toggleSwitchFunctionShowsItsFrame()
    {
        WindowRig rig("CM 1.02"); // offers every button mode
        for (const auto &[function, frame] : {std::pair{0, 0}, std::pair{2, 2}, std::pair{-1, -1}}) {
            rig.view.comboBox(1)->setListIndex(function + 1); // the list runs from -1, "not available"
            for (int i = 0; i < 3; ++i)
                QCOMPARE(shown(rig.view, SwitchFrame[i]), i == frame);
            QCOMPARE(rig.window->configuration()->Parameters()->ComboBoxParameterByName("ButtonMode")->Value(), function);
        }
    }

    void menuCommands_data()
    {
        QTest::addColumn<QString>("tool");
        QTest::addColumn<QStringList>("trace");
        QTest::addColumn<QString>("message"); // none when empty
        QTest::newRow("write") << "WriteParameters" << QStringList{} << "";
        QTest::newRow("copy") << "SpreadParameters" << QStringList{"multi:CM 1.06 / CommandModule"} << "";
        QTest::newRow("help") << "Manual" << QStringList{"help:/help/index.html -1"} << "";
        QTest::newRow("about") << "About" << QStringList{"about"} << "";
        QTest::newRow("quit") << "Quit" << QStringList{"ended"} << "";
        // Choosing the language the plug-in runs in asks nothing; the other is stored for the
        // next start, which the box says.
        QTest::newRow("English") << "English" << QStringList{} << "";
        QTest::newRow("German") << "German" << QStringList{} << GetResString(1490, 1, {GetResString(1373, 1)});
    }
    void menuCommands()
    {
        QFETCH(QString, tool);
        WindowRig rig("CM 1.06");
        QVERIFY(rig.view.clickMenuTool(tool));
        QTEST(rig.trace, "trace");
        QCOMPARE(rig.logger.texts().join('\n').contains(GetResString(1551, 2)), tool == "WriteParameters");
        QTEST(rig.dialogs.messages.value(0).text, "message");
        QVERIFY(rig.dialogs.messages.size() <= 1 && !rig.dialogs.waitCursor);
        QCOMPARE(settings::readLanguage(rig.registry), qint16(tool == "German" ? 1000 : 0));
        QVERIFY(rig.dialogs.messages.isEmpty() || rig.dialogs.messages[0].title == "CM 1.06 / CommandModule");
        // The running plug-in keeps its language, and marks it.
        QVERIFY(language() == ResStrings::English && rig.view.menuToolChecked({"Language", "English"})
                && !rig.view.menuToolChecked({"Language", "German"}));
    }

    // The captions the tags name, and Help - Device info: the device's names, ids, state, template
    // and last calibrations, in the session's language.
    void captionsAndDeviceInfo_data()
    {
        QTest::addColumn<int>("lang");
        QTest::addColumn<bool>("online");
        QTest::newRow("en") << int(ResStrings::English) << true;
        QTest::newRow("de, device silent") << int(ResStrings::German) << false;
    }
    void captionsAndDeviceInfo()
    {
        QFETCH(int, lang);
        QFETCH(bool, online);
        WindowRig rig;
        setLanguage(lang);
        rig.open("CM 1.06");
        QCOMPARE(rig.view.tab(0, 3).caption, GetResString(1012));
        QCOMPARE(rig.view.menuToolCaption({"File", "SpreadParameters"}), GetResString(1371, 5));
        QCOMPARE(rig.view.lineButtonCaption(LineButton::Apply), GetResString(1374, 3));
        rig.setOnline("CM 1.06", online);
        rig.clock.advanceMs(11000); // past the cached answer of the device
        QVERIFY(rig.view.clickMenuTool("DeviceInfo"));
        QCOMPARE(rig.deviceInfo.title, GetResStringIn(lang, 1372, 3));
        QStringList values;
        for (const auto &[caption, value] : rig.deviceInfo.lines)
            values.append(value);
        QCOMPARE(values.mid(0, 3), (QStringList{"CM 1.06", "CommandModule", rig.device("CM 1.06")->programId()}));
        QCOMPARE(values[3] == "-", !online);
        QVERIFY(QRegularExpression("^[0-9A-F]{12}$").match(values[4]).hasMatch());
        QCOMPARE(values.mid(5, 2), (QStringList{GetResStringIn(lang, online ? 1532 : 1533), "TQM_CM_STD"}));
        QCOMPARE(values.mid(7), (QStringList{rig.view.textBox(11)->text(), rig.view.textBox(12)->text()}));
    }

    // A device that does not answer at configure: the values are the network database's, and
    // the logger and the status text say so until the device answers. A red line while the
    // window was prepared, as this one, opens the window on the logger.
    void silentDeviceIsNamedUntilItAnswers()
    {
        WindowRig rig;
        rig.setOnline("CM 1.06", false);
        rig.open("CM 1.06");
        const qsizetype line = rig.logger.texts().indexOf(GetResString(1571, 1, {"CM 1.06"}));
        QVERIFY(line >= 0 && rig.logger.lines[line].colour == logcolour::Red);
        QVERIFY(rig.view.selectedTabKey(0) == "KEY:6" && rig.window->currentPageKey() == 6);
        QVERIFY(!rig.logger.loggerOnErrorFlag() && rig.view.isWindowVisible());
        QCOMPARE(rig.view.statusText(), GetResString(1571, 2, {"CM 1.06"}));
        QVERIFY(rig.view.clickMenuTool("ReadParameters"));
        QCOMPARE(rig.view.statusText(), GetResString(1571, 2, {"CM 1.06"}));
        rig.setOnline("CM 1.06", true);
        QVERIFY(rig.view.clickMenuTool("ReadParameters"));
        QCOMPARE(rig.view.statusText(), GetResString(1517));
    }

    // After an edit of text box 2 (or none), what the button line and closing the window leave:
    // the closing question, the write, the window closed, Apply and the changed flag. A write the
    // device does not take and "Read parameters" are the configuration's
    // (tst_configurationworkflows), the logger coming up is silentDeviceIsNamedUntilItAnswers'.
    void editThenButtonLine_data()
    {
        QTest::addColumn<bool>("edit");
        QTest::addColumn<QString>("action");
        QTest::addColumn<MsgAnswer>("answer");
        QTest::addColumn<QString>("question"); // empty: none asked
        QTest::addColumn<bool>("closed");
        const QString discard = GetResString(1428, 3);
        QTest::newRow("close, nothing edited") << false << "close" << MsgAnswer::No << "" << true;
        QTest::newRow("close, edited, stay") << true << "close" << MsgAnswer::No << discard << false;
        QTest::newRow("close, edited, quit") << true << "close" << MsgAnswer::Yes << discard << true;
        // OK writes the edit first, and asks nothing then.
        QTest::newRow("ok") << true << "ok" << MsgAnswer::No << "" << true;
        QTest::newRow("apply") << true << "apply" << MsgAnswer::No << "" << false;
    }
    void editThenButtonLine()
    {
        QFETCH(bool, edit);
        QFETCH(QString, action);
        QFETCH(bool, closed);
        WindowRig rig("CM 1.06");
        if (edit)
            rig.view.textBox(2)->typeText("0.8");
        QCOMPARE(rig.view.lineButtonEnabled(LineButton::Apply), edit);
        QFETCH(MsgAnswer, answer);
        rig.dialogs.answers.enqueue(answer);
        if (action == "close")
            QCOMPARE(rig.view.requestClose(), closed);
        else
            QVERIFY(rig.view.clickLineButton(action == "ok" ? LineButton::Ok : LineButton::Apply));
        QTEST(rig.dialogs.messages.value(0).text, "question");
        QCOMPARE(rig.logger.texts().join('\n').contains(GetResString(1551, 2)), action != "close"); // written
        QCOMPARE(rig.trace.count("ended"), closed ? 1 : 0);
        QCOMPARE(rig.view.isWindowVisible(), !closed);
        if (closed)
            return;
        const bool pending = action == "close"; // kept after "stay", written by Apply
        QCOMPARE(rig.view.lineButtonEnabled(LineButton::Apply), pending);
        QCOMPARE(rig.session.parametersChangedFlag, pending);
        QCOMPARE(rig.window->currentPageKey(), 0);
        QVERIFY(rig.view.windowEnabled());
        QCOMPARE(rig.view.statusText(), GetResString(1517));
    }

    void positionIsKeptUnlessMinimised_data()
    {
        QTest::addColumn<QString>("storedTop");
        QTest::addColumn<QString>("storedLeft");
        QTest::addColumn<double>("keptTop"); // -1: where the design puts the window
        QTest::addColumn<WindowState>("stateAtClose");
        QTest::newRow("only top stored") << "700" << "" << -1.0 << WindowState::Normal;
        QTest::newRow("below the screen") << "20000" << "900" << 16200.0 - 8760 << WindowState::Normal;
        QTest::newRow("closed minimised") << "700" << "900" << 700.0 << WindowState::Minimized;
    }
    void positionIsKeptUnlessMinimised()
    {
        QFETCH(QString, storedTop);
        QFETCH(QString, storedLeft);
        QFETCH(double, keptTop);
        QFETCH(WindowState, stateAtClose);
        WindowRig rig;
        rig.registry.WriteValue(RegistryAccess::LocalMachine, settings::productKey(), "Settings", "Top", storedTop);
        if (!storedLeft.isEmpty())
            rig.registry.WriteValue(RegistryAccess::LocalMachine, settings::productKey(), "Settings", "Left", storedLeft);
        const Rect design = rig.view.windowGeometry();
        rig.open("CM 1.06");
        QCOMPARE(rig.view.windowGeometry().top, keptTop < 0 ? design.top : keptTop);

        rig.window->setTop(1500);
        rig.window->setLeft(1600);
        rig.view.setWindowState(stateAtClose);
        QVERIFY(rig.view.requestClose());
        const bool saved = stateAtClose != WindowState::Minimized;
        QCOMPARE(settings::readWindowPosition(rig.registry).top, saved ? 1500.0 : storedTop.toDouble());
        QCOMPARE(rig.view.statusText(), GetResString(1507));
    }

    // Screens: 28800 x 16200 twips at 0, and a second one to its right; none known, nothing moves.
    void storedPositionStaysOnAScreen()
    {
        const QList<Rect> screens{{0, 0, 28800, 16200}, {28800, 0, 14400, 10800}};
        QCOMPARE(keptOnScreen({900, 700, 9855, 8760}, screens), (Rect{900, 700, 9855, 8760}));
        QCOMPARE(keptOnScreen({40000, 700, 9855, 8760}, screens), (Rect{28800 + 14400 - 9855, 700, 9855, 8760}));
        QCOMPARE(keptOnScreen({-5000, -300, 9855, 8760}, screens), (Rect{0, 0, 9855, 8760}));
        QCOMPARE(keptOnScreen({40000, -300, 9855, 8760}, {}), (Rect{40000, -300, 9855, 8760}));
    }

    // A set saved (a name without an extension gets ".dat"; the logger says where the set went),
    // a line of it changed, and loaded back: a refused set changes nothing (no value, no flag, no
    // Apply; why a set is refused is tst_transfer's); a good one counts as an edit.
    void parameterSetFiles_data()
    {
        QTest::addColumn<QString>("replacement"); // of the line of the same key, besides MinDeltaTemp = 90
        QTest::addColumn<QString>("message");
        QTest::newRow("loaded") << "MinDeltaTemp = 90" << "";
        QTest::newRow("other device") << "ProgramId = 80:00:00:00:00:00:00:00" << GetResString(1520, 2);
    }
    void parameterSetFiles()
    {
        QFETCH(QString, replacement);
        QFETCH(QString, message);
        WindowRig rig("CM 1.06");
        QDir().mkpath(rig.dir.filePath("sets"));
        const QString file = rig.dir.filePath("sets/set.dat");
        rig.dialogs.fileNames.enqueue(rig.dir.filePath("sets/set"));
        QVERIFY(rig.view.clickMenuTool("SaveFile"));
        QCOMPARE(rig.dialogs.fileRequests.last().initialDirectory, rig.dir.path());
        QCOMPARE(rig.logger.lines.last().text, GetResString(1572, 1, {QDir::toNativeSeparators(file)}));
        QFile saved(file);
        QVERIFY(saved.open(QIODevice::ReadWrite));
        QString text = QString::fromUtf8(saved.readAll());
        for (const QString &edit : {QStringLiteral("MinDeltaTemp = 90"), replacement})
            text.replace(QRegularExpression("^" + edit.section(' ', 0, 0) + " =[^\r]*", QRegularExpression::MultilineOption), edit);
        QVERIFY(saved.resize(0) && saved.write(text.toUtf8()) > 0);
        saved.close();
        const QString before = rig.view.textBox(2)->text();

        rig.dialogs.fileNames.enqueue(file);
        QVERIFY(rig.view.clickMenuTool("OpenFile"));
        QCOMPARE(rig.dialogs.fileRequests.last().initialDirectory, rig.dir.filePath("sets")); // the folder used last
        const bool loaded = message.isEmpty();
        QCOMPARE(rig.dialogs.messages.size(), loaded ? 0 : 1);
        QCOMPARE(rig.dialogs.messages.value(0).text, message);
        QCOMPARE(rig.view.textBox(2)->text(), loaded ? QStringLiteral("0.9") : before);
        QCOMPARE(rig.session.parametersChangedFlag, loaded);
        QCOMPARE(rig.view.lineButtonEnabled(LineButton::Apply), loaded);
        QVERIFY(rig.view.windowEnabled());
    }
};

QTEST_GUILESS_MAIN(TestFrmMain)
#include "tst_frmmain.moc"
