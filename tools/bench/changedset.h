#pragma once

// A parameter set that differs from the device's in every CP it writes: each parameter selected
// for writing gets another value its control accepts (the next list item, one step of its
// resolution, the next number its window holds). bench-spread measures a real write with it, and
// the kill tests tell the old set from the new one by it.

#include "lns/controls/controls.h"
#include "params/choiceparams.h"
#include "params/cparams.h"
#include "params/cparamtextbox.h"
#include "params/rawparams.h"

namespace changedset {

inline void changeEverything(cParams &params)
{
    for (cParam *p : params.GetAllParamsShouldBeWrittenToLns()) {
        if (auto *combo = dynamic_cast<cParamComboBox *>(p)) {
            const auto *control = combo->ComboBoxControl();
            for (int i = 0; i < control->count(); ++i) {
                if (control->itemData(i) != combo->Value()) {
                    combo->setValue(control->itemData(i));
                    break;
                }
            }
        } else if (auto *text = dynamic_cast<cParamTextBox *>(p)) {
            const qint32 step = qMax(1, qRound(text->MinStep() * text->Factor()));
            const bool up = (double(text->Value()) + step) / text->Factor() <= text->RangeMax();
            // A value below what the box takes (a heartbeat that is off) goes to the lowest it takes.
            const qint32 lowest = qCeil(qMax(text->RangeMin(), text->TextBoxRangeMin()) * text->Factor() - 1e-6);
            text->setValue(qMax(lowest, text->Value() + (up ? step : -step)));
        } else if (auto *options = dynamic_cast<cParamOptBtn *>(p)) {
            for (int i = 1; i <= options->OptionButtonsCount(); ++i) {
                if (options->OptionButtonItemData(i) != options->Value()) {
                    options->setValue(options->OptionButtonItemData(i));
                    break;
                }
            }
        } else if (auto *one = dynamic_cast<cParam1Byte *>(p)) {
            one->setValue((one->Value() + 1) % 256);
        } else if (auto *two = dynamic_cast<cParam2Byte *>(p)) {
            two->setValue((two->Value() + 1) % 65536);
        }
    }
}

} // namespace changedset
