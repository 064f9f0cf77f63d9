#pragma once

// What the monitoring page asks of the main window: its output fields (text boxes 4 to 10),
// the three frames that take turns for the push-button mode, and the warning that the
// parameters have not been written (label 30). The window's logic implements it on its view.

#include "lns/controls/controls.h"

namespace monitoring {

// The mode-dependent frames of the page: "fraMonHeatCool" (field 6), "fraMonFanSpeed" (fields
// 7 to 9) and "fraMonManOccCmd" (field 10).
enum class ModeFrame { HeatCool, FanSpeed, ManOccCmd };

class MonitoringPage
{
public:
    virtual ~MonitoringPage() = default;
    // The window's text box of this index (the output fields are 4 to 10).
    virtual controls::TextBoxControl *TextBox(int index) const = 0;
    // Moves the frame to (left, top) in twips, enabled and shown.
    virtual void placeModeFrame(ModeFrame frame, double left, double top) = 0;
    // Moves the frame out of view to the left, disabled and hidden.
    virtual void hideModeFrame(ModeFrame frame) = 0;
    virtual void setChangedNoticeVisible(bool visible) = 0;
};

} // namespace monitoring
