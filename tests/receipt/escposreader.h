#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QString>

#include <functional>
#include <optional>

namespace vorlan {

// Length of the ESC/POS command starting at `at`: 0 when the bytes end inside it, -1 for
// a byte this program never sends.
int escPosCommandLength(const QByteArray &bytes, qsizetype at);

// The printer's view of a byte stream: each copy starts at ESC @ and ends at its cut,
// its raster bands stacked into one picture (Format_Mono, a set bit printed).
struct EscPosReading {
    int resets = 0;
    int cuts = 0;
    int feeds = 0;
    int statusRequests = 0;
    QList<int> densities;
    QList<int> bandRows;
    QList<int> bandBytesPerRow;
    QList<QImage> copies;
    QString error; // the first thing that is not well formed
};
EscPosReading readEscPos(const QByteArray &bytes);

// Pixels that differ between two 1-bit pictures (a size mismatch counts every pixel).
qint64 differingPixels(const QImage &a, const QImage &b);

// Real-time commands a printer would act on inside raster data (DLE EOT, DLE ENQ, DLE DC4).
int realTimeCommandsInRaster(const QByteArray &bytes);

// A network printer on the loopback interface: records what it receives, answers
// DLE EOT with `answer` (nullopt: stays silent) and can hang up after some bytes.
class FakeNetworkPrinter
{
public:
    FakeNetworkPrinter();
    ~FakeNetworkPrinter();

    // (connection index from 0, n of DLE EOT n) → reply.
    std::function<std::optional<quint8>(int connection, int n)> answer;
    // Closes each connection once it has received this many bytes (-1: never).
    qint64 hangUpAfter = -1;
    // Stops reading (as a jammed printer with a full buffer) after this many bytes.
    qint64 stallAfter = -1;
    // Thinks this long before each status reply.
    int replyDelayMs = 0;
    // Answers the requests that follow raster data on a connection, when set.
    std::function<std::optional<quint8>(int connection, int n)> answerAfterData;

    bool listen();
    quint16 port() const { return m_port; }
    QByteArray received() const;
    int connections() const;

private:
    struct State;
    State *d;
    quint16 m_port = 0;
};

// A FIFO standing in for /dev/usb/lp0 that behaves like the USB printer driver where it
// matters: it holds one page (4 KiB) like one block in flight, says "writable" only when
// its reader has taken all of it, and its reader (the printer) is slow. Whatever the
// reader has not taken when the writer closes is lost, as usblp's release kills the block
// in flight.
class FifoPrinter
{
public:
    explicit FifoPrinter(const QString &path);
    ~FifoPrinter();
    bool ok() const { return m_fd >= 0; }
    // Stops taking data (a jammed printer) after this many bytes (-1: never).
    qint64 stallAfter = -1;
    // What the reader has taken so far.
    QByteArray received() const;
    // Bytes dropped because the writer closed before they were taken.
    qint64 lost() const;
    // Stops reading and returns everything taken.
    QByteArray finish();

private:
    struct State;
    State *d;
    int m_fd = -1;
};

// A character device that answers DLE EOT as a printer does: the slave side of a raw
// pseudo-terminal, whose master records what the program writes and answers each status
// request found at a command boundary with `answer(n)` (nullopt: stays silent).
class PtyPrinter
{
public:
    PtyPrinter();
    ~PtyPrinter();
    bool ok() const { return m_master >= 0; }
    QString path() const { return m_path; }
    std::function<std::optional<quint8>(int n)> answer;
    QByteArray received() const;

private:
    struct State;
    State *d;
    int m_master = -1;
    int m_slave = -1;
    QString m_path;
};

// A port on which nothing listens.
quint16 closedLoopbackPort();

} // namespace vorlan
