#pragma once

// What the plug-in's workflows ask of their surroundings, as a program without a window answers
// it: a logger that keeps the view's lines so that each device's outcome can be told, dialogs
// whose messages become red lines (nobody is there to answer them), the configuration window
// and the calibration page without a screen, and the scripted multi-device window that tells
// which picks it did not offer.

#include "calibration/calibrationpage.h"
#include "device/configurationwindow.h"
#include "device/multidevicewindow.h"
#include "lns/controls/memorycontrols.h"
#include "lns/logger.h"
#include "lns/userdialogs.h"

#include <QSet>
#include <functional>
#include <map>
#include <memory>

namespace configtool {

class ToolLogger : public Logger
{
public:
    void logLine(const QString &) override {}
    void addLogLine(const QString &text, qint32 colour, int style = 0, bool withTime = false,
                    int blankLinesAfter = 0) override;

    // Position of the next line; the lines from a mark on belong to what started there.
    qsizetype mark() const { return m_lines.size(); }
    // The red lines from `mark` on, and the outcome lines of a calibration pass (" - text").
    QStringList redSince(qsizetype mark) const;
    QList<LogViewLine> linesSince(qsizetype mark) const { return m_lines.mid(mark); }
    // Forgets the lines (a long run keeps only what it still needs).
    void clear() { m_lines.clear(); }

private:
    QList<LogViewLine> m_lines;
};

// Messages go to the logger as red lines (a device's reason for failing); questions take their
// default answer; no file is chosen.
class ToolDialogs : public UserDialogs
{
public:
    explicit ToolDialogs(Logger &logger) : m_logger(logger) {}
    MsgAnswer message(const MessageRequest &request) override;
    QString fileName(const FileDialogRequest &) override { return {}; }
    void setWaitCursor(bool) override {}

private:
    Logger &m_logger;
};

// The calibration pages without a screen: the frames the page arrangement shows, the entries
// of the pages, the status texts to `onStatus`.
class ToolCalibrationPage : public calibration::CalibrationPage
{
public:
    ToolCalibrationPage(QString caption);
    ~ToolCalibrationPage() override;

    bool frameShown(calibration::PageFrame frame) const { return m_shown.contains(int(frame)); }
    std::function<void(const QString &)> onStatus;

    controls::TextBoxControl *TextBox(int index) const override;
    void setButtonEnabled(int, bool) override {}
    void setProgress(calibration::Indicator, int) override {}
    void setProgressText(calibration::Indicator, const QString &) override {}
    void setProgressVisible(calibration::Indicator, bool) override {}
    void setResult(calibration::Indicator, const QString &, controls::Colour) override {}
    void setResultVisible(calibration::Indicator, bool) override {}
    void showFrame(calibration::PageFrame frame, std::optional<double>, std::optional<double>) override
    {
        m_shown.insert(int(frame));
    }
    void hideFrame(calibration::PageFrame frame) override { m_shown.remove(int(frame)); }
    QString Caption() const override { return m_caption; }
    void setStatusText(const QString &text) override;
    void Refresh() override {}
    void setEnabled(bool) override {}
    void setApplyEnabled(bool) override {}
    void ShowLogger() override {}
    bool UpdatingControls() const override { return m_updating; }
    void setUpdatingControls(bool on) override { m_updating = on; }
    QObject *ownerObject() override { return &m_owner; }

private:
    QString m_caption;
    // The designed page shows every frame until the arrangement moves them.
    QSet<int> m_shown{int(calibration::PageFrame::SensorCopy), int(calibration::PageFrame::KnobTwoStop),
                      int(calibration::PageFrame::KnobReset), int(calibration::PageFrame::KnobCentre)};
    std::map<int, std::unique_ptr<controls::MemoryTextBox>> m_textBoxes;
    bool m_updating = false;
    QObject m_owner;
};

// Picks the named devices among those the search offers, and keeps the names it did not offer
// (for a calibration: devices whose program id the template does not accept).
class PickingWindow : public device::ScriptedMultiDeviceWindow
{
public:
    PickingWindow(QStringList picks, QStringList *notOffered)
        : device::ScriptedMultiDeviceWindow(std::move(picks)), m_notOffered(notOffered)
    {
    }
    device::MultiDeviceSelectionPtr open(const device::MultiDeviceRequest &request) override;

private:
    QStringList *m_notOffered;
};

} // namespace configtool
