#pragma once

// What the page presenters of the main window share: the services, the device configuration and
// its parameters, the quiet flag for controls the program fills, the window's error handling
// (an error becomes a red logger line), the tab model, and the frames moved into and out of view.

#include "calibration/devicecontext.h"
#include "lns/controls/controls.h"
#include "session/services.h"
#include "ui/mainwindowview.h"

#include <QHash>
#include <functional>

class cConfiguration;
class cParam;
class cParams;

namespace ui {

class cTabStrips;

// Where hidden elements go: frames moved down out of view, or to the left.
constexpr double OutOfViewTop = 30000;
constexpr double OutOfViewLeft = -20000;

class PageContext
{
public:
    PageContext(Services services, ElementsView &elements, cTabStrips &tabStrips,
                std::function<bool(bool force)> deviceIsAccessible);

    const Services &services() const { return m_services; }
    int commandIndex() const;
    // Whether the device answers (cached for ten seconds by the host).
    bool accessible() const;

    // The device configuration, made by the window for its command; null before.
    cConfiguration *configuration() const { return m_configuration; }
    void setConfiguration(cConfiguration *configuration) { m_configuration = configuration; }
    cParams *params() const;
    cParam *parameter(const QString &name) const;
    bool available(const QString &parameterName) const;
    DeviceContext deviceContext() const;
    bool limitationIs(int n) const;

    // Set while the program fills the controls itself; control events are ignored then.
    bool updatingControls = false;
    // Runs `step` with the quiet flag set and puts the flag back as it was.
    void quietly(const std::function<void()> &step);
    // Runs `step` under the window's error handling: an error becomes a red logger line and the
    // routine ends. Answers whether the step completed.
    bool guarded(const std::function<void()> &step) const;
    // A user's edit: the parameters are changed and Apply is offered (the window's).
    std::function<void()> markChanged;

    // Forwards a parameter text box's key presses, validation and focus loss to the parameters
    // (its change, which counts as an edit, goes through onTextBoxChange).
    void forwardTextBoxEvents(QObject *receiver, controls::TextBoxControl *box);
    void onTextBoxChange(controls::TextBoxControl *box);
    // Removes the tab with this key number from the strip (the model keeps it).
    void hideTab(int strip, int keyNo);

    // ---- frames ----
    // Remembers where the design put each named frame, before any is moved aside.
    void rememberDesignedFrames();
    // Moves an element into view at `top`, at its designed left when it was moved aside.
    void placeAndShow(Element element, double top);
    // Moves an element into view at (left, top), enabled and visible.
    void placeAt(Element element, double left, double top);
    // Moves an element out of view to the left, disabled and hidden.
    void hideElement(Element element);
    ElementsView &elements() const { return m_elements; }

private:
    Services m_services;
    ElementsView &m_elements;
    cTabStrips &m_tabStrips;
    std::function<bool(bool)> m_deviceIsAccessible;
    cConfiguration *m_configuration = nullptr;
    QHash<int, double> m_designLeft; // frame -> its designed left
};

} // namespace ui
