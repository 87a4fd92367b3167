#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>

class QSocketNotifier;

namespace vorlan {

// A pseudo-terminal standing in for the caller-ID device. The program opens `path`, a
// symbolic link to the terminal's far end that open() points at a fresh terminal each
// time; vanish() closes it as an unplugged device would. Commands ending in CR are
// collected; the ones in `accepts` are answered OK, the others ERROR (with the echo a
// modem sends), unless `answers` is off.
class FakeModem final : public QObject
{
    Q_OBJECT
public:
    explicit FakeModem(QString path, QStringList accepts = {}, QObject *parent = nullptr);
    ~FakeModem() override;

    bool open();
    void vanish();
    void play(const QByteArray &bytes);

    QString path() const { return m_path; }
    QStringList commands;
    QStringList accepts;
    bool answers = true;

private:
    void onReadable();

    QString m_path;
    int m_master = -1;
    int m_slave = -1;
    QSocketNotifier *m_notifier = nullptr;
    QByteArray m_input;
};

} // namespace vorlan
