#pragma once

// The "Temperature measuring" page (key 0): where the room temperature comes from, three option
// buttons bound to "TempMode". Variants without that parameter do not offer the page.

#include "ui/pagecontext.h"

#include <QObject>

namespace ui {

class TemperaturePage : public QObject
{
    Q_OBJECT
public:
    TemperaturePage(PageContext &context, ControlArraysView &controls, QObject *parent = nullptr);

    void applyVariantRules();
    void detach();

private:
    void onOptionButtonClick(int index);

    PageContext &m_context;
    ControlArraysView &m_controls;
};

} // namespace ui
