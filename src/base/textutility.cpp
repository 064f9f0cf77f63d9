#include "base/textutility.h"

#include <string_view>

namespace TextUtility {

QString Token(const QString &text, int n, const QString &delimiter)
{
    const QStringView piece = TokenView(text, n, delimiter);
    // The whole text shares its data; a piece is copied.
    return piece.size() == text.size() ? text : piece.toString();
}

namespace {

qsizetype indexIn(QStringView text, QStringView delimiter, qsizetype from)
{
    return text.indexOf(delimiter, from);
}

qsizetype indexIn(QByteArrayView text, QByteArrayView delimiter, qsizetype from)
{
    return IndexOf(text, delimiter, from);
}

template <class View>
View tokenIn(View text, int n, View delimiter)
{
    if (n < 1)
        return {};
    if (delimiter.isEmpty())
        return n == 1 ? text : View();
    qsizetype start = 0;
    for (int piece = 1; piece < n; ++piece) {
        const qsizetype next = indexIn(text, delimiter, start);
        if (next < 0)
            return {};
        start = next + delimiter.size();
    }
    const qsizetype end = indexIn(text, delimiter, start);
    return text.sliced(start, (end < 0 ? text.size() : end) - start);
}

} // namespace

qsizetype IndexOf(QByteArrayView text, QByteArrayView what, qsizetype from)
{
    const std::string_view all(text.data(), size_t(text.size()));
    const size_t found = all.find(std::string_view(what.data(), size_t(what.size())), size_t(from));
    return found == std::string_view::npos ? -1 : qsizetype(found);
}

QStringView TokenView(QStringView text, int n, QStringView delimiter)
{
    return tokenIn(text, n, delimiter);
}

QByteArrayView TokenView(QByteArrayView text, int n, QByteArrayView delimiter)
{
    return tokenIn(text, n, delimiter);
}

QString FillPlaceholders(const QString &text, const QStringList &values)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('%') && i + 1 < text.size()) {
            const int digit = text[i + 1].digitValue();
            if (digit >= 1 && digit <= 9 && digit <= values.size()) {
                out += values[digit - 1];
                ++i;
                continue;
            }
        }
        out += c;
    }
    return out;
}

QString NormaliseNumberText(const QString &text)
{
    QString out = text;
    out.replace(QLatin1Char(','), QLatin1Char('.'));
    return out;
}

} // namespace TextUtility

namespace KeyFilterUtility {

int FilterKey(int mode, int keyCode)
{
    if (keyCode < 32)
        return keyCode;
    if (keyCode >= '0' && keyCode <= '9')
        return keyCode;
    const bool negative = mode == NumbersNeg || mode == NumbersFloatNeg;
    const bool decimal = mode == NumbersFloat || mode == NumbersFloatNeg;
    if (keyCode == '-' && negative)
        return keyCode;
    if ((keyCode == '.' || keyCode == ',') && decimal)
        return keyCode;
    return 0;
}

} // namespace KeyFilterUtility
