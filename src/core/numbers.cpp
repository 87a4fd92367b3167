#include "numbers.h"

#include <cmath>

namespace vorlan {

namespace {

QChar asciiForm(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'０' && u <= u'９')
        return QChar(u'0' + (u - u'０'));
    switch (u) {
    case u'＋': return QChar(u'+');
    case u'－': return QChar(u'-');
    case u'．': return QChar(u'.');
    default: return c;
    }
}

bool isDigit(QChar c) { return c >= u'0' && c <= u'9'; }

} // namespace

double parseNumber(const QString &text)
{
    QString s;
    s.reserve(text.size());
    for (QChar c : text)
        s.append(asciiForm(c));

    qsizetype i = 0;
    const qsizetype n = s.size();
    while (i < n && (s[i] == u' ' || s[i] == u'\t' || s[i] == u'\n' || s[i] == u'\r'
                     || s[i] == u'\v' || s[i] == u'\f'))
        ++i;
    const qsizetype start = i;
    if (i < n && (s[i] == u'+' || s[i] == u'-'))
        ++i;
    qsizetype digits = 0;
    while (i < n && isDigit(s[i])) {
        ++i;
        ++digits;
    }
    if (i < n && s[i] == u'.') {
        ++i;
        while (i < n && isDigit(s[i])) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        return 0.0;
    qsizetype end = i;
    if (i < n && (s[i] == u'e' || s[i] == u'E')) {
        qsizetype j = i + 1;
        if (j < n && (s[j] == u'+' || s[j] == u'-'))
            ++j;
        if (j < n && isDigit(s[j])) {
            while (j < n && isDigit(s[j]))
                ++j;
            end = j;
        }
    }
    bool ok = false;
    const double value = s.mid(start, end - start).toDouble(&ok);
    return ok && std::isfinite(value) ? value : 0.0;
}

QString formatDouble(double value)
{
    if (value == 0.0 || !std::isfinite(value))
        return QStringLiteral("0");
    // Whole numbers and tenths, most amounts, written without the printf machinery (lists
    // of many rows format two a row); the text is the one "%.13g" gives.
    const double tenths = value * 10;
    if (std::fabs(tenths) < 1e12 && tenths == std::floor(tenths)) {
        const auto k = static_cast<qint64>(tenths);
        const qint64 whole = k / 10;
        const int digit = static_cast<int>(k < 0 ? -(k % 10) : k % 10);
        QString text = (k < 0 && whole == 0) ? QStringLiteral("-0") : QString::number(whole);
        if (digit != 0) {
            text += QLatin1Char('.');
            text += QLatin1Char(char('0' + digit));
        }
        return text;
    }
    return QString::asprintf("%.13g", value);
}

QString formatSingle(float value)
{
    if (value == 0.0f || !std::isfinite(value))
        return QStringLiteral("0");
    return QString::asprintf("%.6g", static_cast<double>(value));
}

QString formatStoredNumber(double value)
{
    const QString text = formatDouble(value);
    if (parseNumber(text) == value || !std::isfinite(value))
        return text;
    const auto single = static_cast<float>(value);
    if (static_cast<double>(single) == value)
        return formatSingle(single);
    return QString::asprintf("%.17g", value);
}

bool isZero(double value) { return std::fabs(value) <= 1e-7; }

double roundHalfUp(double value, int places)
{
    if (value == 0.0)
        return 0.0;
    const double scale = std::pow(10.0, places);
    // From 2^52 on a double has no fraction left to round, and a huge value scaled up
    // would overflow into infinity.
    if (!std::isfinite(std::fabs(value) * scale) || std::fabs(value) * scale >= 4503599627370496.0)
        return value;
    const double y = std::fabs(value) * scale + 1e-12;
    const double k = std::floor(y);
    const double rounded = ((y - k) >= 0.5 ? k + 1.0 : k) / scale;
    return value < 0 ? -rounded : rounded;
}

} // namespace vorlan
