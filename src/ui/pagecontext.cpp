#include "ui/pagecontext.h"

#include "calibration/devicevariants.h"
#include "device/cconfiguration.h"
#include "lns/logger.h"
#include "params/cparam.h"
#include "params/cparams.h"
#include "session/session.h"
#include "ui/tabs.h"

namespace ui {

PageContext::PageContext(Services services, ElementsView &elements, cTabStrips &tabStrips,
                         std::function<bool(bool force)> deviceIsAccessible)
    : m_services(std::move(services)), m_elements(elements), m_tabStrips(tabStrips),
      m_deviceIsAccessible(std::move(deviceIsAccessible))
{
}

int PageContext::commandIndex() const
{
    return m_services.session->commandIndex;
}

bool PageContext::accessible() const
{
    return m_deviceIsAccessible && m_deviceIsAccessible(false);
}

cParams *PageContext::params() const
{
    return m_configuration ? m_configuration->Parameters() : nullptr;
}

cParam *PageContext::parameter(const QString &name) const
{
    cParams *all = params();
    return all ? all->ParameterAllByName(name) : nullptr;
}

bool PageContext::available(const QString &parameterName) const
{
    const cParam *found = parameter(parameterName);
    return found && found->Available();
}

DeviceContext PageContext::deviceContext() const
{
    return DeviceContext::of(m_services);
}

bool PageContext::limitationIs(int n) const
{
    return m_services.iniFile && calibration::LimitationIs(deviceContext(), n);
}

void PageContext::quietly(const std::function<void()> &step)
{
    const bool updating = updatingControls;
    updatingControls = true;
    step();
    updatingControls = updating;
}

bool PageContext::guarded(const std::function<void()> &step) const
{
    try {
        step();
        return true;
    } catch (const TqmError &error) {
        m_services.logger->addLogLine(
            error.description() + QStringLiteral(" (") + QString::number(error.number()) + QLatin1Char(')'),
            logcolour::Red);
        return false;
    }
}

// Only a control bound to a parameter (it carries the parameter's tag) forwards.
void PageContext::forwardTextBoxEvents(QObject *receiver, controls::TextBoxControl *box)
{
    const auto forwards = [this, box] { return !updatingControls && params() && !box->tag().isEmpty(); };
    QObject::connect(box, &controls::TextBoxControl::changed, receiver, [this, box] { onTextBoxChange(box); });
    QObject::connect(box, &controls::TextBoxControl::keyPress, receiver, [this, box, forwards](int *key) {
        if (forwards())
            guarded([&] { params()->TextBox_KeyPress_Event(box, *key); });
    });
    QObject::connect(box, &controls::TextBoxControl::validate, receiver, [this, box, forwards](bool *cancel) {
        if (forwards())
            guarded([&] { params()->TextBox_Validate_Event(box, *cancel); });
    });
    QObject::connect(box, &controls::TextBoxControl::lostFocus, receiver, [this, box, forwards] {
        if (forwards())
            guarded([&] { params()->TextBox_LostFocus_Event(box); });
    });
}

void PageContext::onTextBoxChange(controls::TextBoxControl *box)
{
    if (updatingControls || !params() || box->tag().isEmpty())
        return;
    guarded([&] { params()->TextBox_Change_Event(box); });
    markChanged();
}

void PageContext::hideTab(int strip, int keyNo)
{
    if (cTabStrip *model = m_tabStrips.Item(strip))
        model->Tabs().HideTabByKeyNo(qint16(keyNo));
}

void PageContext::rememberDesignedFrames()
{
    if (!m_designLeft.isEmpty())
        return;
    for (int frame = 0; frame < FrameCount; ++frame)
        m_designLeft.insert(frame, m_elements.geometry(Element::frame(Frame(frame))).left);
}

void PageContext::placeAndShow(Element element, double top)
{
    const Rect rect = m_elements.geometry(element);
    placeAt(element, rect.left == OutOfViewLeft ? m_designLeft.value(element.id, 0) : rect.left, top);
}

void PageContext::placeAt(Element element, double left, double top)
{
    m_elements.move(element, left, top);
    m_elements.setEnabled(element, true);
    m_elements.setVisible(element, true);
}

void PageContext::hideElement(Element element)
{
    m_elements.move(element, OutOfViewLeft, m_elements.geometry(element).top);
    m_elements.setEnabled(element, false);
    m_elements.setVisible(element, false);
}

} // namespace ui
