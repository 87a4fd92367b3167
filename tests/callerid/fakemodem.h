#pragma once

#include <QObject>
#include <QStringList>

class QSocketNotifier;

namespace vorlan {

// A pseudo-terminal standing in for the caller-ID device. The program opens `path`, a
// link that open() points at a fresh terminal each time; vanish() closes the terminal as
// an unplugged device would. Commands (ending in CR) are collected and answered with the
// echo and OK when listed in `accepts`, ERROR otherwise, unless `answers` is off.
class FakeModem final : public QObject
{
public:
    explicit FakeModem(QString path, QStringList accepts = {}) : accepts(std::move(accepts)), m_path(std::move(path)) {}
    ~FakeModem() override;
    bool open();
    void vanish();
    void play(const QByteArray &bytes);
    QString path() const { return m_path; }

    QStringList commands, accepts;
    bool answers = true;

private:
    void onReadable();
    QString m_path;
    int m_master = -1, m_slave = -1;
    QSocketNotifier *m_notifier = nullptr;
    QByteArray m_input;
};

} // namespace vorlan
