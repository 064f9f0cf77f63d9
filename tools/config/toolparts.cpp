#include "toolparts.h"

namespace configtool {

void ToolLogger::addLogLine(const QString &text, qint32 colour, int style, bool, int)
{
    if (colour == logcolour::Red)
        m_onError = true;
    m_lines.append({text, colour, style});
}

QStringList ToolLogger::redSince(qsizetype mark) const
{
    QStringList red;
    for (qsizetype i = qMax<qsizetype>(0, mark); i < m_lines.size(); ++i) {
        if (m_lines.at(i).colour == logcolour::Red)
            red.append(m_lines.at(i).text.trimmed());
    }
    return red;
}

MsgAnswer ToolDialogs::message(const MessageRequest &request)
{
    QString text = request.text;
    if (!request.detail.isEmpty())
        text += QStringLiteral(": ") + request.detail;
    m_logger.addLogLine(text.replace(QStringLiteral("\r\n"), QStringLiteral(" ")).simplified(), logcolour::Red);
    return request.defaultAnswer;
}

ToolCalibrationPage::ToolCalibrationPage(QString caption) : m_caption(std::move(caption))
{
    for (int index : {calibration::RoomTemperatureBox, calibration::SensorCalibratedBox,
                      calibration::KnobCalibratedBox})
        m_textBoxes[index] = std::make_unique<controls::MemoryTextBox>(index);
}

ToolCalibrationPage::~ToolCalibrationPage() = default;

controls::TextBoxControl *ToolCalibrationPage::TextBox(int index) const
{
    const auto found = m_textBoxes.find(index);
    return found == m_textBoxes.end() ? nullptr : found->second.get();
}

void ToolCalibrationPage::setStatusText(const QString &text)
{
    if (onStatus)
        onStatus(text);
}

device::MultiDeviceSelectionPtr PickingWindow::open(const device::MultiDeviceRequest &request)
{
    device::MultiDeviceSelectionPtr selection = ScriptedMultiDeviceWindow::open(request);
    if (m_notOffered)
        *m_notOffered = unmatchedPicks();
    return selection;
}

} // namespace configtool
