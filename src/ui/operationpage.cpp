#include "ui/operationpage.h"

#include "device/cconfiguration.h"
#include "device/configurationwindow.h"
#include "params/cparamenums.h"
#include "params/cparams.h"
#include "params/rawparams.h"
#include "session/session.h"
#include "strings/resstrings.h"

namespace ui {

namespace {

constexpr int ToggleSwitchComboBox = 1;
constexpr int FanLevelsComboBox = 4;
constexpr int UpperFanPositionComboBox = 5;
constexpr int LowerFanPositionComboBox = 6;
constexpr int FirstButtonTimeBox = 13; // text boxes 13 and 14 lie in the push-button frames
constexpr int LastButtonTimeBox = 14;
constexpr int ToggleSwitchNotAvailable = cParamEnums::BM_NUL_RAW;
constexpr double SwitchFramesTop = 1920;
constexpr double SetPointFrameTop = 1080;
constexpr double FrameGap = 120;

const Frame SwitchFrames[] = {Frame::SwitchPosition0, Frame::SwitchPosition1, Frame::SwitchPosition2};

} // namespace

// The stored percentage is a whole number of steps per level: of three levels the top one is
// 3 x 33 %, read back as level 3 again.
FanPosition fanPositionOfLevel(qint32 level, qint32 levels)
{
    return {(100 / levels) * 2 * level, level < 1 ? 0 : 1};
}

qint32 levelOfFanPosition(const FanPosition &position, qint32 levels)
{
    const qint32 step = 200 / levels;
    return position.state == 0 ? 0 : (position.halfPercent + step - 1) / step;
}

QList<std::pair<QString, qint32>> fanPositionItems(qint32 levels)
{
    QList<std::pair<QString, qint32>> items{{GetResString(1066, 1), 0}};
    if (levels == 1)
        return items << std::pair{GetResString(1066, 2), 1};
    for (qint32 level = 1; level <= levels; ++level)
        items.append({QString::number(level) + QLatin1Char(' ') + GetResString(1066, 3), level});
    return items;
}

OperationPage::OperationPage(PageContext &context, ControlArraysView &controls, QObject *parent)
    : QObject(parent), m_context(context), m_controls(controls)
{
    for (int i = FirstButtonTimeBox; i <= LastButtonTimeBox; ++i)
        m_context.forwardTextBoxEvents(this, m_controls.textBox(i));
    for (int i = 0; i < ConfigurationWindow::ComboBoxCount; ++i)
        connect(m_controls.comboBox(i), &controls::ComboBoxControl::changed, this, [this, i] { onComboBoxChange(i); });
}

void OperationPage::detach()
{
    for (int i = FirstButtonTimeBox; i <= LastButtonTimeBox; ++i)
        disconnect(m_controls.textBox(i), nullptr, this, nullptr);
    for (int i = 0; i < ConfigurationWindow::ComboBoxCount; ++i)
        disconnect(m_controls.comboBox(i), nullptr, this, nullptr);
}

void OperationPage::fillFanLevels()
{
    controls::ComboBoxControl *box = m_controls.comboBox(FanLevelsComboBox);
    m_context.quietly([&] {
        box->clear();
        for (int level = 1; level <= 5; ++level)
            box->setItemData(box->addItem(GetResString(1063, level)), level);
    });
}

// The rules the parameter objects cannot know: the toggle switch, the push-button frames of the
// smaller variants, and the page itself for the variant without a set-point (limitation 2).
void OperationPage::applyVariantRules()
{
    ElementsView &elements = m_context.elements();
    const bool buttonMode = m_context.available(QStringLiteral("ButtonMode"));
    if (!buttonMode)
        hideToggleSwitchSection();
    if (m_context.limitationIs(1)) {
        hideToggleSwitchSection();
    } else if (buttonMode) {
        for (Frame frame : SwitchFrames)
            elements.move(Element::frame(frame), elements.geometry(Element::frame(frame)).left, SwitchFramesTop);
        // The toggle switch's function was read while the controls were quiet: the frame of that
        // function is the one to show.
        showSwitchPositionFrame(selectedData(ToggleSwitchComboBox, ToggleSwitchNotAvailable));
    }
    if (m_context.limitationIs(2))
        m_context.hideTab(0, 1);
    if (m_context.limitationIs(4) || m_context.limitationIs(5)) {
        hideToggleSwitchSection();
        m_context.placeAndShow(Element::frame(Frame::SetPointButtons), SetPointFrameTop);
        if (m_context.commandIndex() == commands::Configure
            && (m_context.available(QStringLiteral("SwitchMapFanSpeed_1"))
                || m_context.available(QStringLiteral("ManOccCmdOn")))) {
            const Rect setPoint = elements.geometry(Element::frame(Frame::SetPointButtons));
            m_context.placeAndShow(Element::frame(Frame::FanSpeedButtons), setPoint.top + setPoint.height + FrameGap);
        }
    }
}

void OperationPage::hideToggleSwitchSection()
{
    ElementsView &elements = m_context.elements();
    for (Frame frame : SwitchFrames) {
        const Element element = Element::frame(frame);
        elements.move(element, elements.geometry(element).left, OutOfViewTop);
        elements.setEnabled(element, false);
        elements.setVisible(element, false);
    }
    elements.setVisible(Element::label(1055), false);
    elements.setVisible(Element::label(1056), false);
    elements.setVisible(Element::comboBox(ToggleSwitchComboBox), false);
}

void OperationPage::showSwitchPositionFrame(int shown)
{
    for (int i = 0; i < 3; ++i) {
        if (i == shown)
            m_context.placeAndShow(Element::frame(SwitchFrames[i]), SwitchFramesTop);
        else
            m_context.hideElement(Element::frame(SwitchFrames[i]));
    }
}

qint32 OperationPage::selectedData(int comboBoxIndex, qint32 none) const
{
    const controls::ComboBoxControl *box = m_controls.comboBox(comboBoxIndex);
    return box->listIndex() >= 0 ? box->itemData(box->listIndex()) : none;
}

void OperationPage::onComboBoxChange(int index)
{
    if (index == FanLevelsComboBox) {
        onFanLevelsChange();
        return;
    }
    if (m_context.updatingControls)
        return;
    const qint32 data = selectedData(index, 0);
    m_context.guarded([&] {
        if (index == UpperFanPositionComboBox || index == LowerFanPositionComboBox) {
            storeFanSpeedPosition(index);
            return;
        }
        if (index == ToggleSwitchComboBox)
            showSwitchPositionFrame(data);
        if (m_context.params())
            m_context.params()->ComboBox_Change_Event(m_controls.comboBox(index));
    });
    m_context.markChanged();
}

// The lists of the fan positions follow the number of levels even while the program fills the
// controls; choosing the number is a user's edit only otherwise.
void OperationPage::onFanLevelsChange()
{
    controls::ComboBoxControl *box = m_controls.comboBox(FanLevelsComboBox);
    if (box->listIndex() < 0)
        return;
    const bool byUser = !m_context.updatingControls;
    m_context.guarded([&] {
        if (m_context.configuration())
            m_context.configuration()->setFanCoilStepCount(box->itemData(box->listIndex()));
        m_context.quietly([&] {
            rebuildFanSpeedLists(fanLevels());
            if (byUser)
                selectFanSpeedPositions();
        });
    });
    if (!m_context.updatingControls)
        m_context.markChanged();
}

void OperationPage::showFanLevels()
{
    controls::ComboBoxControl *levels = m_controls.comboBox(FanLevelsComboBox);
    for (int i = 0; i < levels->count(); ++i) {
        if (levels->itemData(i) == fanLevels())
            levels->setListIndex(i);
    }
    rebuildFanSpeedLists(fanLevels());
    selectFanSpeedPositions();
}

qint32 OperationPage::fanLevels() const
{
    // A record that could not be read answers 0; one level is the least a fan coil has.
    const qint32 levels = m_context.configuration() ? m_context.configuration()->FanCoilStepCount() : 1;
    return qMax(1, levels);
}

void OperationPage::rebuildFanSpeedLists(qint32 levels)
{
    for (int index : {UpperFanPositionComboBox, LowerFanPositionComboBox}) {
        controls::ComboBoxControl *box = m_controls.comboBox(index);
        box->clear();
        for (const auto &[text, level] : fanPositionItems(levels))
            box->setItemData(box->addItem(text), level);
    }
}

void OperationPage::selectFanSpeedPositions()
{
    const struct
    {
        const char *name;
        int comboBox;
    } positions[] = {{"FanSpeedOn", UpperFanPositionComboBox}, {"FanSpeedOff", LowerFanPositionComboBox}};
    for (const auto &position : positions) {
        auto *stored = dynamic_cast<cParam2Byte *>(m_context.parameter(QString::fromLatin1(position.name)));
        if (!stored)
            continue;
        const qint32 level = levelOfFanPosition({stored->Value1(), stored->Value2()}, fanLevels());
        controls::ComboBoxControl *box = m_controls.comboBox(position.comboBox);
        for (int i = 0; i < box->count(); ++i) {
            if (box->itemData(i) == level)
                box->setListIndex(i);
        }
    }
}

void OperationPage::storeFanSpeedPosition(int comboBoxIndex)
{
    auto *stored = dynamic_cast<cParam2Byte *>(m_context.parameter(
        comboBoxIndex == UpperFanPositionComboBox ? QStringLiteral("FanSpeedOn") : QStringLiteral("FanSpeedOff")));
    if (!stored)
        return;
    const FanPosition position = fanPositionOfLevel(selectedData(comboBoxIndex, 0), fanLevels());
    stored->setValue1(position.halfPercent);
    stored->setValue2(position.state);
}

} // namespace ui
