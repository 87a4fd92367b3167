#include "callerlines.h"

#include <QRegularExpression>

namespace vorlan {

QString normalizedPhoneNumber(QString text)
{
    text = text.trimmed();
    QString digits;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isDigit() && c.unicode() < 128)
            digits.append(c);
        else if (c == u'+' && i == 0)
            digits.append(QStringLiteral("00"));
        else if (c != u' ' && c != u'-' && c != u'(' && c != u')' && c != u'.')
            return {};
    }
    static const QRegularExpression mobileWithPrefix(QStringLiteral("^(?:0086|86|0)(1[3-9]\\d{9})$"));
    if (const auto match = mobileWithPrefix.match(digits); match.hasMatch())
        digits = match.captured(1);
    if (digits.size() < 3 || digits.size() > 20)
        return {};
    return digits;
}

QList<QByteArray> LineSplitter::feed(const QByteArray &bytes)
{
    QList<QByteArray> lines;
    for (const char c : bytes) {
        if (c == '\r' || c == '\n') {
            if (!m_overlong) {
                const QByteArray line = m_line.trimmed();
                if (!line.isEmpty())
                    lines.append(line);
            }
            m_line.clear();
            m_overlong = false;
        } else if (m_overlong || (static_cast<unsigned char>(c) < 0x20 && c != '\t') || c == 0x7f) {
            continue;
        } else if (m_line.size() >= m_maxLength) {
            m_overlong = true;
            m_line.clear();
        } else {
            m_line.append(c);
        }
    }
    return lines;
}

void LineSplitter::clear()
{
    m_line.clear();
    m_overlong = false;
}

std::optional<CallerIdCall> CallDecoder::take(const QByteArray &line)
{
    static const QRegularExpression keyed(QStringLiteral("^([A-Z_]+)\\s*[=:]\\s*(.*)$"));
    const QString text = QString::fromLatin1(line).trimmed();
    const auto match = keyed.match(text);
    if (!match.hasMatch()) {
        if (m_mode != CallerIdMode::Plain)
            return std::nullopt;
        const QString number = normalizedPhoneNumber(text);
        if (number.isEmpty())
            return std::nullopt;
        CallerIdCall call;
        call.number = number;
        m_pending = {};
        return call;
    }
    const QString key = match.captured(1);
    const QString value = match.captured(2).trimmed();
    if (key == u"DATE") {
        m_pending = {}; // a new report begins
        m_pending.lineDate = value;
    } else if (key == u"TIME") {
        m_pending.lineTime = value;
    } else if (key == u"NAME") {
        m_pending.name = value;
    } else if (key == u"NMBR" || key == u"DDN_NMBR") {
        CallerIdCall call = m_pending;
        m_pending = {};
        if (value == u"P") {
            call.kind = CallerIdCall::Kind::Private;
        } else if (value == u"O" || value.isEmpty()) {
            call.kind = CallerIdCall::Kind::Unavailable;
        } else {
            call.number = normalizedPhoneNumber(value);
            if (call.number.isEmpty())
                call.kind = CallerIdCall::Kind::Unavailable;
        }
        if (call.name == u"P" || call.name == u"O")
            call.name.clear();
        return call;
    }
    return std::nullopt;
}

} // namespace vorlan
