// libFuzzer target for the record-file reader and the configuration table reader: arbitrary bytes
// must never crash, and whatever table reads must write back to the same rows.
#include "foundation/Errors.h"
#include "foundation/XFiles.h"
#include "foundation/XIniDec.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    lumvard::TXFile xf;
    try {
        xf.loadContainerBytes(bytes);
    } catch (const lumvard::Error &) {
        if (!xf.Payload().isEmpty()) std::abort();
    }
    if (xf.HeaderLength() > bytes.size()) std::abort();

    for (const QByteArray &stream : {bytes, xf.Payload()}) {
        lumvard::TMemTable table;
        const int rows = table.load(stream);
        if (rows < 0) continue;
        QByteArray again;
        try {
            again = table.save();
        } catch (const lumvard::Error &) {
            continue; // text that GBK decoding replaced may not encode back
        }
        lumvard::TMemTable copy;
        if (copy.load(again) != rows) std::abort();
    }
    return 0;
}
