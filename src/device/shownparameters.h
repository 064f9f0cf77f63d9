#pragma once

// Every parameter of a configuration as the window shows it: its name, the shown value (the text
// of its text box, the item of its list), the unit, and the value as a parameter set file holds
// it, which is what tells two sets apart. The unattended configure command prints it, tqm-config
// shows and compares sets with it.

#include <QList>
#include <QString>

class cParams;

namespace device {

struct ShownParameter
{
    QString name;
    bool available = false; // the device has the parameter's CP
    QString value;          // as the window shows it; empty when not available
    QString unit;           // a text box's unit ("°C", "s"); empty for the other kinds
    bool listItem = false;  // the value is the item of a list that stands for `stored`
    QString stored;         // as a parameter set file stores it; empty when not available
};

// In the collection's creation order.
QList<ShownParameter> shownParameters(const cParams &params);

} // namespace device
