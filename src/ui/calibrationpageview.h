#pragma once

// The window as the calibration procedures see it (calibration::CalibrationPage): the controls
// of the "Temperature sensor" and "Turning knob" pages on the view, and the window's enabling,
// status text and logger tab through the ConfigurationWindow the shell implements. Also the
// base of the two calibration pages' presenters: a procedure, its timer, and its ticks run under
// the window's error handling.

#include "calibration/calibrationenvironment.h"
#include "calibration/calibrationpage.h"
#include "ui/pagecontext.h"

#include <QObject>
#include <functional>
#include <memory>

class ConfigurationWindow;
class Timer;

namespace ui {

// What the procedures need of the window's surroundings; every hook may stay empty.
struct CalibrationHooks
{
    std::function<bool(bool force)> deviceIsAccessible;
    std::function<cMonitorPoints *()> monitorPoints;
    std::function<std::unique_ptr<device::MultiDeviceWindow>()> createMultiDeviceWindow;
};

class CalibrationPageView : public calibration::CalibrationPage
{
public:
    CalibrationPageView(PageContext &context, ControlArraysView &controls, ConfigurationWindow &window,
                        CalibrationHooks hooks);

    calibration::CalibrationEnvironment environment();
    // A "Calibrate" that is off says why on its page: the device does not answer.
    void sayCannotCalibrate(calibration::Indicator indicator);

    controls::TextBoxControl *TextBox(int index) const override { return m_controls.textBox(index); }
    void setButtonEnabled(int button, bool enabled) override;
    void setProgress(calibration::Indicator indicator, int value) override;
    void setProgressText(calibration::Indicator indicator, const QString &text) override;
    void setProgressVisible(calibration::Indicator indicator, bool visible) override;
    void setResult(calibration::Indicator indicator, const QString &caption, controls::Colour colour) override;
    void setResultVisible(calibration::Indicator indicator, bool visible) override;
    void showFrame(calibration::PageFrame frame, std::optional<double> left = {},
                   std::optional<double> top = {}) override;
    void hideFrame(calibration::PageFrame frame) override;

    QString Caption() const override;
    void setStatusText(const QString &text) override;
    void Refresh() override;
    void setEnabled(bool enabled) override;
    void setApplyEnabled(bool enabled) override;
    void ShowLogger() override;
    bool UpdatingControls() const override { return m_context.updatingControls; }
    void setUpdatingControls(bool on) override { m_context.updatingControls = on; }
    QObject *ownerObject() override;

private:
    PageContext &m_context;
    ControlArraysView &m_controls;
    ConfigurationWindow &m_window;
    CalibrationHooks m_hooks;
};

// One calibration page's presenter: its procedure runs on a timer of its own, made when the
// window has a timer factory (without one there is no calibration).
class CalibrationPresenter : public QObject
{
    Q_OBJECT
public:
    CalibrationPresenter(PageContext &context, CalibrationPageView &page, QObject *parent);
    ~CalibrationPresenter() override;

    // The timer, stopped until the procedure starts it with its interval; null without a timer
    // factory.
    Timer *timer() const { return m_timer.get(); }
    // Makes the procedure with the window's configuration.
    virtual void create() = 0;
    // Runs the procedure of a command button; answers whether the button is this page's.
    virtual bool onButton(int button) = 0;
    // The page came to the front: its buttons follow whether the device answers.
    virtual void pageShown() = 0;
    // The window's notifications no longer reach the page; the timer stops.
    virtual void detach();

protected:
    virtual void tick() = 0;

    PageContext &m_context;
    CalibrationPageView &m_page;

private:
    void onTick();

    std::unique_ptr<Timer> m_timer;
};

} // namespace ui
