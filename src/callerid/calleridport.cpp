#include "calleridport.h"

#include <QSerialPort>

namespace vorlan {

CallerIdPort::CallerIdPort(QObject *parent)
    : QObject(parent)
    , m_clock([] { return QDateTime::currentDateTime(); })
{
    m_retry.setInterval(kDefaultRetryMs);
    m_retry.setSingleShot(true);
    connect(&m_retry, &QTimer::timeout, this, &CallerIdPort::tryOpen);
    m_answer.setInterval(kDefaultAnswerMs);
    m_answer.setSingleShot(true);
    connect(&m_answer, &QTimer::timeout, this, [this] { onInitStep(m_init.onTimeout()); });
}

CallerIdPort::~CallerIdPort() { closePort(); }

void CallerIdPort::start(const CallerIdSettings &settings)
{
    stop();
    m_settings = settings;
    m_told = false;
    if (m_settings.enabled())
        tryOpen();
}

void CallerIdPort::stop()
{
    m_retry.stop();
    closePort();
}

bool CallerIdPort::isOpen() const { return m_port && m_port->isOpen(); }

void CallerIdPort::closePort()
{
    m_answer.stop();
    m_init = ModemInit();
    if (!m_port)
        return;
    QSerialPort *port = m_port;
    m_port = nullptr;
    port->disconnect(this);
    port->close();
    // Possibly inside one of its own signals.
    port->deleteLater();
}

void CallerIdPort::tryOpen()
{
    closePort();
    auto *port = new QSerialPort(this);
    port->setPortName(m_settings.port.trimmed());
    port->setBaudRate(m_settings.baudRate);
    port->setDataBits(QSerialPort::Data8);
    port->setParity(QSerialPort::NoParity);
    port->setStopBits(QSerialPort::OneStop);
    port->setFlowControl(QSerialPort::NoFlowControl);
    if (!port->open(QIODevice::ReadWrite)) {
        const QString reason = port->errorString();
        delete port;
        lose(reason, true);
        return;
    }
    m_port = port;
    m_told = false;
    m_splitter.clear();
    m_decoder = CallDecoder(m_settings.mode);
    connect(port, &QSerialPort::readyRead, this, &CallerIdPort::onReadyRead);
    connect(port, &QSerialPort::errorOccurred, this, &CallerIdPort::onError);
    emit opened();
    if (m_settings.mode == CallerIdMode::Modem) {
        send(m_init.start());
        m_answer.start();
    }
}

void CallerIdPort::send(const QByteArray &command)
{
    if (!m_port)
        return;
    emit commandSent(command.trimmed());
    if (m_port->write(command) != command.size())
        lose(m_port->errorString(), false);
}

void CallerIdPort::onInitStep(ModemInit::Step step)
{
    switch (step) {
    case ModemInit::Step::Waiting:
        return;
    case ModemInit::Step::SendNext:
        send(m_init.currentCommand());
        if (m_port)
            m_answer.start();
        return;
    case ModemInit::Step::Accepted:
        m_answer.stop();
        emit modemReady(m_init.accepted());
        return;
    case ModemInit::Step::Refused:
        m_answer.stop();
        emit modemReady(QString());
        // Some modems report calls without being asked; keep listening.
        emit problem(QStringLiteral("来电显示设备 %1 不接受来电显示命令（%2），可能收不到来电号码。")
                         .arg(m_settings.port, m_init.tried().join(QStringLiteral("、"))));
        return;
    }
}

void CallerIdPort::onReadyRead()
{
    if (!m_port)
        return;
    const QByteArray bytes = m_port->readAll();
    // A receiver may stop the port at any line; the rest is then dropped.
    for (const QByteArray &line : m_splitter.feed(bytes)) {
        emit lineArrived(line);
        if (m_port && m_init.running())
            onInitStep(m_init.onLine(line));
        if (!m_port)
            return;
        if (std::optional<CallerIdCall> call = m_decoder.take(line)) {
            call->received = m_clock();
            emit callArrived(*call);
        }
        if (!m_port)
            return;
    }
}

void CallerIdPort::onError()
{
    if (!m_port)
        return;
    const QSerialPort::SerialPortError error = m_port->error();
    if (error == QSerialPort::NoError || error == QSerialPort::TimeoutError)
        return;
    lose(m_port->errorString(), false);
}

void CallerIdPort::lose(const QString &reason, bool whileOpening)
{
    closePort();
    if (!m_told) {
        m_told = true;
        const QString what = whileOpening ? QStringLiteral("打不开") : QStringLiteral("已断开");
        emit problem(m_retrying ? QStringLiteral("来电显示设备 %1 %2：%3\n程序每 %4 秒自动重试，不影响点单。")
                                      .arg(m_settings.port, what, reason)
                                      .arg(qMax(1, m_retry.interval() / 1000))
                                : QStringLiteral("来电显示设备 %1 %2：%3").arg(m_settings.port, what, reason));
    }
    if (m_retrying)
        m_retry.start();
}

} // namespace vorlan
