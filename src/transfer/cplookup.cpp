#include "transfer/cplookup.h"

#include "lns/inifile.h"
#include "lns/product.h"

namespace cplookup {

namespace {

TqmError iniError(const QString &description)
{
    return TqmError(TqmError::IniFileError, product::ProductName, description);
}

// One step of a device look-up; a failing step ends the look-up with its own text.
struct StepFailure
{
    QString text;
    QString indexName;
    int index;
};

template <class F>
auto step(F &&f, const char *text, const char *indexName, int index)
{
    try {
        return f();
    } catch (const TqmError &) {
        throw StepFailure{QString::fromLatin1(text), QString::fromLatin1(indexName), index};
    }
}

} // namespace

lns::ConfigPropertyPtr FetchLmoCp(const QString &cpName, const QString &section, const IniFile &iniFile,
                                  const QString &deviceTemplate, const lns::LonMarkObjectPtr &lonMarkObject,
                                  bool *succeed)
{
    const qint16 cpIndex = iniFile.GetCpIndex(cpName, section, deviceTemplate);
    if (cpIndex == -1) {
        if (succeed) {
            *succeed = false;
            return {};
        }
        throw iniError(QStringLiteral("INI - File Error : ") + cpName);
    }
    std::shared_ptr<lns::ConfigProperties> cps = lonMarkObject->configProperties();
    if (cpIndex > 0) {
        const qint16 nvIndex = iniFile.GetEntryField(cpName, section, deviceTemplate, 2);
        if (nvIndex > 0)
            cps = lonMarkObject->networkVariables()->item(nvIndex)->configProperties();
    }
    lns::ConfigPropertyPtr cp = cps->item(cpIndex);
    if (succeed)
        *succeed = true;
    return cp;
}

lns::ConfigPropertyPtr FetchDevCp(const QString &cpName, const QString &section, const IniFile &iniFile,
                                  const QString &deviceTemplate, const lns::AppDevicePtr &appDevice,
                                  bool *succeed)
{
    if (succeed)
        *succeed = true;
    const qint16 cpIndex = iniFile.GetEntryField(cpName, section, deviceTemplate, 1);
    const qint16 objectIndex = iniFile.GetEntryField(cpName, section, deviceTemplate, 2);
    const qint16 nvIndex = iniFile.GetEntryField(cpName, section, deviceTemplate, 3);
    const char *nvText = "INI-File Error (CP, NV-Fetch): ";
    try {
        std::shared_ptr<lns::ConfigProperties> cps;
        if (objectIndex > 0) {
            const auto object = step([&] { return appDevice->lonMarkObjects()->item(objectIndex); },
                                     "INI-File Error (CP, Object-Fetch): ", "Object-Index=", objectIndex);
            cps = nvIndex > 0 ? step([&] { return object->networkVariables()->item(nvIndex); }, nvText, "NV-Index=",
                                     nvIndex)->configProperties()
                              : object->configProperties();
        } else {
            cps = nvIndex > 0 ? step([&] { return appDevice->networkVariables()->item(nvIndex); }, nvText,
                                     "NV-Index=", nvIndex)->configProperties()
                              : appDevice->configProperties();
        }
        return step([&] { return cps->item(cpIndex); }, "INI-File Error (CP, CP-Fetch): ", "CP-Index=", cpIndex);
    } catch (const StepFailure &failure) {
        if (succeed) {
            *succeed = false;
            return {};
        }
        throw iniError(failure.text + cpName + QStringLiteral(" / ") + failure.indexName
                       + QString::number(failure.index));
    }
}

} // namespace cplookup
