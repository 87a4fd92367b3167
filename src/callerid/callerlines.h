#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>

namespace vorlan {

// How the device on the line reports a call: a modem that is switched to caller-ID
// reports with AT commands and sends "NMBR = …" lines, or a caller-ID box that sends
// the bare number, one a line.
enum class CallerIdMode { Modem = 0, Plain = 1 };

// One incoming call as the device reported it.
struct CallerIdCall {
    enum class Kind { Number, Private, Unavailable };
    Kind kind = Kind::Number;
    QString number;   // digits only; empty unless kind is Number
    QString name;     // the NAME line, when the device sent one before the number
    QString lineDate; // DATE and TIME as sent (MMDD, HHMM); may be empty
    QString lineTime;
    QDateTime received; // when the program saw it
};

// The digits of a phone number as the device or a person writes it ("138 1234 5678",
// "(010) 8888-6666", "+86 138…"), with the country code and the long-distance 0 in front
// of a mobile number dropped, so it matches the numbers the shop stores. Empty when the
// text is not a phone number.
QString normalizedPhoneNumber(QString text);

// Cuts the byte stream of the port into lines. A line ends at CR or LF; control bytes are
// dropped; a line longer than `maxLength` is thrown away up to its end, so what is held
// never exceeds `maxLength` bytes whatever the device sends.
class LineSplitter final
{
public:
    static constexpr int kDefaultMaxLength = 128;
    explicit LineSplitter(int maxLength = kDefaultMaxLength) : m_maxLength(maxLength) {}

    // The lines completed by `bytes`, trimmed, empty ones left out.
    QList<QByteArray> feed(const QByteArray &bytes);
    void clear();
    qsizetype pending() const { return m_line.size(); }

private:
    QByteArray m_line;
    int m_maxLength;
    bool m_overlong = false;
};

// Turns the lines of a device into calls. DATE, TIME and NAME lines wait for the number
// of their call; ring lines, modem answers and anything unknown are ignored.
class CallDecoder final
{
public:
    explicit CallDecoder(CallerIdMode mode) : m_mode(mode) {}

    // The call this line completes, if any (`received` left unset).
    std::optional<CallerIdCall> take(const QByteArray &line);
    void reset() { m_pending = {}; }

private:
    CallerIdMode m_mode;
    CallerIdCall m_pending;
};

} // namespace vorlan
