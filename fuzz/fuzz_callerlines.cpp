// The caller-ID device's byte stream: cut into lines, decoded into calls, answered
// during the modem's set-up, in reads of any size.
#include "callerid/callerlines.h"
#include "callerid/modeminit.h"

#include <cstdint>
#include <cstdlib>

using namespace vorlan;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const qsizetype chunk = 1 + data[0] % 17;
    const QByteArray stream(reinterpret_cast<const char *>(data) + 1, qsizetype(size - 1));
    LineSplitter splitter;
    CallDecoder modem(CallerIdMode::Modem), plain(CallerIdMode::Plain);
    ModemInit init;
    init.start();
    for (qsizetype at = 0; at < stream.size(); at += chunk) {
        for (const QByteArray &line : splitter.feed(stream.mid(at, chunk))) {
            if (line.isEmpty() || line.size() > LineSplitter::kDefaultMaxLength)
                std::abort();
            for (const char c : line)
                if (static_cast<unsigned char>(c) < 0x20 && c != '\t')
                    std::abort(); // control bytes never reach a line
            (void)init.onLine(line);
            for (CallDecoder *decoder : {&modem, &plain}) {
                const auto call = decoder->take(line);
                if (!call)
                    continue;
                // A number is 3 to 20 ASCII digits, and only a numbered call has one.
                const bool numbered = call->kind == CallerIdCall::Kind::Number;
                if (numbered != !call->number.isEmpty() || (numbered && (call->number.size() < 3 || call->number.size() > 20)))
                    std::abort();
                for (const QChar c : call->number)
                    if (c < u'0' || c > u'9')
                        std::abort();
            }
        }
        if (splitter.pending() > LineSplitter::kDefaultMaxLength)
            std::abort(); // the buffer stays bounded
    }
    return 0;
}
