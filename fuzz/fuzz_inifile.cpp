// The plug-in INI reader on arbitrary file contents: every look-up the program makes must answer
// without crashing, whatever the file holds.

#include "fuzzinput.h"
#include "lns/inifile.h"
#include "lns/product.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static FuzzInput input("TqmCmdModule.ini");
    const IniFile ini(input.write(data, size));

    const QString deviceTemplate = QStringLiteral("TQM_CM_L3");
    for (const QString &key : {QStringLiteral("MaxSendTime"), QStringLiteral("PanelType"), QStringLiteral("a@b")}) {
        ini.GetValue(product::CpSection, key);
        ini.GetTemplateValue(key, product::CpSection, deviceTemplate);
        ini.GetCpIndex(key, product::CpSection, deviceTemplate);
        for (int field = 0; field <= 4; ++field)
            ini.GetEntryField(key, product::CpSection, deviceTemplate, field);
    }
    ini.GetEntryField(QStringLiteral("nvoSpaceTemp"), product::NvSection, deviceTemplate, 2);
    ini.GetCompatibleProgramIds(QStringLiteral("90:00:5D:50:28:04:04:04"));
    ini.GetProgramIdByNumber(1);
    ini.GetAppDocPath(QStringLiteral("90:00:5D:50:28:04:04:01"), 1000);
    for (int n = 0; n <= ini.TemplateEntryCount() + 1; ++n)
        ini.ListsTemplate(ini.templateEntry(n).deviceTemplate);
    ini.problems();
    return 0;
}
