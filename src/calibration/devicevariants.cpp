#include "calibration/devicevariants.h"

#include "base/textutility.h"
#include "lns/inifile.h"
#include "lns/product.h"
#include "params/numbers.h"

namespace calibration {

namespace {

QString variantValue(const DeviceContext &context, const QString &key)
{
    if (!context.iniFile)
        return {};
    return context.iniFile->GetTemplateValue(key, product::CpSection, context.deviceTemplate);
}

// A list item as a whole number; false when it does not read as one in range.
bool roundedInteger(const QString &text, qint32 &value)
{
    try {
        value = numbers::toInt32(numbers::leadingNumber(text));
        return true;
    } catch (const TqmError &) {
        return false;
    }
}

} // namespace

bool LimitationIs(const DeviceContext &context, int n)
{
    const QString text = variantValue(context, QStringLiteral("Limitation"));
    qint32 limitation = 0;
    return !text.isEmpty() && roundedInteger(text, limitation) && limitation == n;
}

bool ButtonModeIsAvailable(const DeviceContext &context, qint32 mode)
{
    const QString list = variantValue(context, QStringLiteral("BMsAvailable"));
    for (int i = 1;; ++i) {
        // Only an empty item ends the list; one of blanks is an item, and reads as 0.
        const QString token = TextUtility::Token(list, i, QStringLiteral(","));
        if (token.isEmpty())
            return false;
        qint32 listed = 0;
        if (roundedInteger(token, listed) && listed == mode)
            return true;
    }
}

float ApbVersionNewCalib(const DeviceContext &context)
{
    return float(numbers::leadingNumber(variantValue(context, QStringLiteral("ApbVersionNewCalib"))));
}

QStringList CalibTransferProgramIds(const DeviceContext &context)
{
    const QString list = variantValue(context, QStringLiteral("CalibTransfer"));
    QStringList programIds;
    for (int i = 1;; ++i) {
        qint32 number = 0;
        if (!roundedInteger(TextUtility::Token(list, i, QStringLiteral(",")), number) || number == 0)
            return programIds;
        const QString programId = context.iniFile->GetProgramIdByNumber(number);
        if (!programId.isEmpty())
            programIds.append(programId);
    }
}

} // namespace calibration
