#include "app/configurationlisting.h"

#include "device/cconfiguration.h"
#include "device/shownparameters.h"

namespace configurationlisting {

QStringList list(const cConfiguration &configuration)
{
    QStringList lines;
    for (const device::ShownParameter &parameter : device::shownParameters(*configuration.Parameters())) {
        if (!parameter.available) {
            lines.append(parameter.name + QStringLiteral(": not available"));
            continue;
        }
        // A list item alone does not say which value the device holds; a box that shows no value
        // (a heartbeat that is off) shows no unit either.
        const QString value = parameter.listItem ? QStringLiteral("%1 (%2)").arg(parameter.value, parameter.stored)
                              : parameter.value.isEmpty() ? QString()
                                                          : (parameter.value + QLatin1Char(' ') + parameter.unit).trimmed();
        lines.append((parameter.name + QStringLiteral(" = ") + value).trimmed());
    }
    return lines;
}

} // namespace configurationlisting
