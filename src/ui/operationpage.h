#pragma once

// The "Operation" page (key 1): the set-point range, the toggle switch with the frame of the
// function it is set to, the fan levels and the two fan-speed positions derived from them, and
// the push-button frames that only push-button variants show (in place of the toggle switch).

#include "ui/pagecontext.h"

#include <QList>
#include <QObject>
#include <utility>

namespace ui {

// A fan-speed position as the device keeps it: the fan level in 0.5 % steps of the full speed,
// and its state (0: the fan is off).
struct FanPosition
{
    qint32 halfPercent = 0;
    qint32 state = 0;
};
// What item `level` of a position list (0: off) stores for a fan of `levels` levels.
FanPosition fanPositionOfLevel(qint32 level, qint32 levels);
// The item a stored position shows: the smallest level that reaches its percentage.
qint32 levelOfFanPosition(const FanPosition &position, qint32 levels);
// The items of a position list, text and level: "off", then "on" for a single level, or one
// item per level.
QList<std::pair<QString, qint32>> fanPositionItems(qint32 levels);

class OperationPage : public QObject
{
    Q_OBJECT
public:
    OperationPage(PageContext &context, ControlArraysView &controls, QObject *parent = nullptr);

    // The list of fan levels, 1 to 5.
    void fillFanLevels();
    void applyVariantRules();
    // The fan levels and positions follow the fan-coil record and the positions read.
    void showFanLevels();
    void detach();

private:
    void onComboBoxChange(int index);
    void onFanLevelsChange();
    void hideToggleSwitchSection();
    // Shows switch-position frame 0, 1 or 2 and hides the other two; any other value hides all.
    void showSwitchPositionFrame(int shown);
    qint32 selectedData(int comboBoxIndex, qint32 none) const;
    qint32 fanLevels() const;
    void rebuildFanSpeedLists(qint32 levels);
    void selectFanSpeedPositions();
    void storeFanSpeedPosition(int comboBoxIndex);

    PageContext &m_context;
    ControlArraysView &m_controls;
};

} // namespace ui
