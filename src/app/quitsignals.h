#pragma once

#include <QObject>

namespace vorlan {

// Turns SIGTERM, SIGINT and SIGHUP into an orderly quit on the event loop, so the main
// window closes (and saves) exactly as when the operator closes it.
class QuitSignals final : public QObject
{
    Q_OBJECT
public:
    explicit QuitSignals(QObject *parent = nullptr);

signals:
    void quitRequested();
};

} // namespace vorlan
