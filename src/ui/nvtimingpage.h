#pragma once

// The "Nv timing" page (key 5): the heartbeats of sending and receiving, each a check box over
// its time field (text boxes 0 and 1), and the send-on-delta of the space temperature (text
// box 2).

#include "ui/pagecontext.h"

#include <QObject>

namespace ui {

class NvTimingPage : public QObject
{
    Q_OBJECT
public:
    NvTimingPage(PageContext &context, ControlArraysView &controls, QObject *parent = nullptr);

    void applyVariantRules();
    // The check boxes follow the heartbeat times read (a time of 0 is off).
    void showHeartbeats();
    void detach();

private:
    void onCheckBoxClick(int index);

    PageContext &m_context;
    ControlArraysView &m_controls;
};

} // namespace ui
