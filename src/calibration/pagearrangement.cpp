#include "calibration/pagearrangement.h"

#include "calibration/calibrationrecords.h"
#include "calibration/devicevariants.h"
#include "session/session.h"

namespace calibration {

namespace {

constexpr double FrameLeft = 180;
constexpr double FrameTop = 180;

// Copying needs the manufacturer's calibration still in the device (it is what the copied
// offset corrects) and a calibration of this device to copy.
bool copyOffered(const CalibrationEnvironment &env)
{
    std::optional<qint64> tempCalib;
    try {
        tempCalib = ReadTempCalib(env, env.services.session->appDevice);
    } catch (const TqmError &) {
        return false;
    }
    return tempCalib.value_or(0) != 0 && TempSensorIsCalibrated(deviceContext(env));
}

} // namespace

void ArrangeCalibrationPages(const CalibrationEnvironment &env)
{
    CalibrationPage &page = *env.page;
    const float version = applicationVersion(env, env.services.session->appDevice);
    const bool panel = parameterAvailable(env, QStringLiteral("PanelType_1"));
    const float newCalib = !panel && version != 0 ? ApbVersionNewCalib(deviceContext(env)) : 0;
    const bool twoStop = !panel && version != 0 && (newCalib == 0 || version < newCalib);
    // "Copy ..." only where there is a calibration to copy, on every device but the older ones.
    if (!twoStop && copyOffered(env))
        page.showFrame(PageFrame::SensorCopy);
    else
        page.hideFrame(PageFrame::SensorCopy);
    if (twoStop) {
        page.showFrame(PageFrame::KnobTwoStop, FrameLeft, FrameTop);
        page.hideFrame(PageFrame::KnobReset);
        page.hideFrame(PageFrame::KnobCentre);
    } else if (!panel && version != 0) {
        page.hideFrame(PageFrame::KnobTwoStop);
        page.showFrame(PageFrame::KnobReset, std::nullopt, FrameTop);
        page.hideFrame(PageFrame::KnobCentre);
    } else if (panel) {
        page.hideFrame(PageFrame::KnobTwoStop);
        page.hideFrame(PageFrame::KnobReset);
        page.showFrame(PageFrame::KnobCentre, std::nullopt, FrameTop);
    }
}

} // namespace calibration
