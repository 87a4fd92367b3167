#pragma once

#include "callerid/calleridsettings.h"

#include <QDialog>
#include <QWidget>

class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTimer;

namespace vorlan {

struct AppContext;
class CallerIdPort;

// The 来电显示 preferences page: the port (the ones present are listed, any path may be
// typed), the mode, the baud rate, and 测试, which opens the port with these settings and
// lists what arrives for ten seconds.
class CallerIdPage final : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kTestMs = 10000;
    explicit CallerIdPage(QWidget *parent = nullptr);
    ~CallerIdPage() override;

    CallerIdSettings settings() const;
    void setSettings(const CallerIdSettings &settings);
    // Lists the serial ports present now, keeping the typed or stored one.
    void listPorts();

    void setTestDuration(int ms);
    void startTest();
    void stopTest();
    bool testRunning() const;
    QString testLog() const;

private:
    void log(const QString &line);

    QComboBox *m_port = nullptr;
    QComboBox *m_mode = nullptr;
    QComboBox *m_baud = nullptr;
    QPushButton *m_testButton = nullptr;
    QPlainTextEdit *m_log = nullptr;
    QTimer *m_testTimer = nullptr;
    CallerIdPort *m_test = nullptr;
    int m_linesSeen = 0;
    int m_callsSeen = 0;
};

// The page in its own window, with 确定 (stores the settings in 记录) and 取消.
class CallerIdDialog final : public QDialog
{
    Q_OBJECT
public:
    CallerIdDialog(AppContext &context, QWidget *parent = nullptr);
    CallerIdPage *page() const { return m_page; }
    void confirm();

private:
    AppContext &m_context;
    CallerIdPage *m_page = nullptr;
};

// Opens the dialog. The listening port lets go of the device meanwhile (the test needs
// it) and listens again with the settings stored when the dialog closes.
void openCallerIdSettings(AppContext &context, CallerIdPort &listening, QWidget *parent);

} // namespace vorlan
