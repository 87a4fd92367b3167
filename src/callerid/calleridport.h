#pragma once

#include "callerid/calleridsettings.h"
#include "callerid/callerlines.h"
#include "callerid/modeminit.h"

#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <functional>

class QSerialPort;

namespace vorlan {

// Listens to the caller-ID device. Everything runs on the signals of the serial port and
// on timers, so the window never waits on the device. A device that cannot be opened, or
// goes away, is reported once through problem(); the port is then tried again quietly
// every retry interval until it answers, and a device that came back is reported again
// when it goes away again.
class CallerIdPort final : public QObject
{
    Q_OBJECT
public:
    static constexpr int kDefaultRetryMs = 10000;
    static constexpr int kDefaultAnswerMs = 2000;

    explicit CallerIdPort(QObject *parent = nullptr);
    ~CallerIdPort() override;

    void setRetryInterval(int ms) { m_retry.setInterval(ms); }
    void setAnswerTimeout(int ms) { m_answer.setInterval(ms); }
    // Tries again after a failure (on by default; the page's test tries once).
    void setRetrying(bool retrying) { m_retrying = retrying; }
    void setClock(std::function<QDateTime()> clock) { m_clock = std::move(clock); }

    // Closes what is open and listens with these settings; without a port, stays closed.
    void start(const CallerIdSettings &settings);
    void stop();

    const CallerIdSettings &settings() const { return m_settings; }
    bool isOpen() const;
    // The caller-ID command the modem took (empty for a box, or before it answered).
    QString acceptedCommand() const { return m_init.accepted(); }
    QStringList triedCommands() const { return m_init.tried(); }

signals:
    void callArrived(const vorlan::CallerIdCall &call);
    // Every line the device sent, and every command written to it (for the page's test).
    void lineArrived(const QByteArray &line);
    void commandSent(const QByteArray &command);
    void opened();
    // The modem's answer to the caller-ID commands: the command it took, or empty.
    void modemReady(const QString &acceptedCommand);
    void problem(const QString &text);

private:
    void tryOpen();
    void onReadyRead();
    void onError();
    void lose(const QString &reason, bool whileOpening);
    void send(const QByteArray &command);
    void onInitStep(ModemInit::Step step);
    void closePort();

    CallerIdSettings m_settings;
    QPointer<QSerialPort> m_port;
    LineSplitter m_splitter;
    CallDecoder m_decoder{CallerIdMode::Modem};
    ModemInit m_init;
    QTimer m_retry;
    QTimer m_answer;
    bool m_retrying = true;
    bool m_told = false;
    std::function<QDateTime()> m_clock;
};

} // namespace vorlan
