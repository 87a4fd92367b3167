#pragma once

#include <QObject>

namespace vorlan {

class CallBar;
class CallLog;
class CallerIdPort;
class MainWindow;

// Caller ID in the main window: the listening port, the calls of this run, the call bar
// above the order form, F8, and the 来电显示 and 最近来电 entries of the settings menu.
// A call brings the window to the front and goes to the phone box of the order panel.
class CallerIdLink final : public QObject
{
    Q_OBJECT
public:
    explicit CallerIdLink(MainWindow &window);

    // Listens with the settings stored in 记录 (nothing without a port).
    void start();

    CallerIdPort *port() const { return m_port; }
    CallLog *log() const { return m_log; }
    CallBar *bar() const { return m_bar; }

private:
    void fillPhone(const QString &number);
    void bringToFront();

    MainWindow &m_window;
    CallerIdPort *m_port = nullptr;
    CallLog *m_log = nullptr;
    CallBar *m_bar = nullptr;
};

} // namespace vorlan
