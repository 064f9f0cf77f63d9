#pragma once

// What the calibration procedures ask of the main window: the controls of the "Temperature
// sensor" and "Turning knob" pages and the few things of the whole window that a long operation
// needs (enabling, status text, refresh, the logger tab, the quiet flag for controls filled by
// the program). The window's logic (ui::FrmMain) implements it on its view; tests use an
// in-memory page. Wait cursor and message boxes are the dialogs' (Services::dialogs).

#include "lns/controls/controls.h"

#include <QString>
#include <optional>

class QObject;

namespace calibration {

// Text boxes of the pages.
constexpr int RoomTemperatureBox = 3;   // the room temperature the installer measured
constexpr int SensorCalibratedBox = 11; // date of the last sensor calibration (read-only)
constexpr int KnobCalibratedBox = 12;   // date of the last two-stop knob calibration (read-only)

// Command buttons of the pages.
namespace button {
constexpr int SensorCalibrate = 0;
constexpr int KnobCalibrate = 1;      // two-stop calibration
constexpr int SensorCopy = 2;         // "Copy ..." of the sensor calibration
constexpr int KnobReset = 3;
constexpr int KnobResetSeveral = 4;
constexpr int KnobCentre = 5;
constexpr int KnobCentreSeveral = 6;
} // namespace button

// The progress bar and the result label that each procedure has: the sensor's on its page, the
// knob's in the two-stop frame. A bar and its label share one place and take turns there. The
// reset and centre calibrations of this device show a result only, in their frames.
enum class Indicator { Sensor = 0, Knob = 1, KnobThisDevice = 2 };

// The frames the page arrangement moves.
enum class PageFrame { SensorCopy, KnobTwoStop, KnobReset, KnobCentre };

// Result colours.
constexpr controls::Colour FailureColour = controls::colour::Red;
constexpr controls::Colour SuccessColour = 0x008000;

class CalibrationPage
{
public:
    virtual ~CalibrationPage() = default;

    // ---- the pages ----
    // Text box i of the window; null outside the array.
    virtual controls::TextBoxControl *TextBox(int index) const = 0;
    virtual void setButtonEnabled(int button, bool enabled) = 0;
    virtual void setProgress(Indicator indicator, int value) = 0;
    virtual void setProgressText(Indicator indicator, const QString &text) = 0;
    virtual void setProgressVisible(Indicator indicator, bool visible) = 0;
    virtual void setResult(Indicator indicator, const QString &caption, controls::Colour colour) = 0;
    virtual void setResultVisible(Indicator indicator, bool visible) = 0;
    // Moves the frame into view, enabled and visible: to `left` and `top` where given, else where
    // the window design put it.
    virtual void showFrame(PageFrame frame, std::optional<double> left = {}, std::optional<double> top = {}) = 0;
    // Moves the frame out of view to the left, disabled and hidden.
    virtual void hideFrame(PageFrame frame) = 0;

    // ---- the window ----
    // The caption: the title of the multi-device window.
    virtual QString Caption() const = 0;
    virtual void setStatusText(const QString &text) = 0;
    virtual void Refresh() = 0;
    // A disabled window takes no input while a calibration runs.
    virtual void setEnabled(bool enabled) = 0;
    virtual void setApplyEnabled(bool enabled) = 0;
    virtual void ShowLogger() = 0;
    // Set while the program writes parameters whose controls would otherwise report edits.
    virtual bool UpdatingControls() const = 0;
    virtual void setUpdatingControls(bool on) = 0;
    // The window as owner of the multi-device window; opaque to the procedures.
    virtual QObject *ownerObject() = 0;
};

} // namespace calibration
