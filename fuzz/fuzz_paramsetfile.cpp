// The parameter-set-file loader on arbitrary file contents, into a collection with a parameter
// of every kind. A TqmError is the loader's way of refusing a file; anything else is a finding.

#include "fuzzinput.h"
#include "lns/controls/memorycontrols.h"
#include "lns/inifile.h"
#include "lns/product.h"
#include "params/choiceparams.h"
#include "params/cparams.h"
#include "params/cparamtextbox.h"
#include "params/rawparams.h"
#include "transfer/paramsetfile.h"

#include <QFile>
#include <cstddef>
#include <cstdint>

namespace {

// A CP that only keeps its value: enough to make the parameters available.
class MemoryCp : public lns::ConfigProperty
{
public:
    explicit MemoryCp(int length) : m_value(QStringList(length, QStringLiteral("0")).join(QLatin1Char('\t'))), m_length(length) {}
    lns::ObjectPtr parent() const override { return {}; }
    QString name() const override { return QStringLiteral("nciFuzz"); }
    QString formatSpec() const override { return m_format; }
    void setFormatSpec(const QString &format) override { m_format = format; }
    QString defaultFormatSpec() const override { return lns::RawFormat; }
    QString value() const override { return m_value; }
    void setValue(const QString &text) override { m_value = text; }
    QString elementValue(int) const override { return m_value; }
    void setElementValue(int, const QString &text) override { m_value = text; }
    int elementLength() const override { return m_length; }
    int dimension() const override { return 1; }
    QString typeName() const override { return QStringLiteral("UCPTfuzz"); }

private:
    QString m_format = lns::RawFormat;
    QString m_value;
    int m_length;
};

struct Collection
{
    Collection()
    {
        const auto cp = std::make_shared<MemoryCp>(4);
        params.Add1ByteParameter("OneByte", cp, "A");
        params.Add2ByteParameter("TwoByte", cp, "A");
        params.AddAsciiParameter("Text", cp, "A");
        params.AddCheckBoxParameter("Check", &checkBox, cp, "A");
        params.AddComboBoxParameter("Combo", &comboBox, cp, "A");
        params.AddOptionButtonParameter("Option", cp, "A");
        params.AddTextBoxParameter("Box", &textBox, cp, "A");
        params.Add1ByteParameter("Unavailable", nullptr, "B");
    }
    controls::MemoryTextBox textBox;
    controls::MemoryComboBox comboBox;
    controls::MemoryCheckBox checkBox;
    cParams params;
};

IniFile plugInIniFile(const FuzzInput &input)
{
    const QString path = input.path("TqmCmdModule.ini");
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write("[velto TqmCommandModule Compatible 1.0]\n90:00:5D:50:28:04:04:04 = 90:00:5D:50:28:04:04:05\n");
    file.close();
    return IniFile(path);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static FuzzInput input("set.dat");
    static const IniFile ini = plugInIniFile(input);
    static Collection collection;
    try {
        transfer::ParamSetFile(collection.params)
            .LoadFromFile(input.write(data, size), ini, product::PlugInName, QStringLiteral("90:00:5D:50:28:04:04:04"),
                          product::DataFileVersion);
    } catch (const TqmError &) {
        // The file was refused with a reason.
    }
    return 0;
}
