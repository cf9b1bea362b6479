#include "foundation/TextFormats.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace lumvard {

QByteArray toGbk(const QString &text, bool *encodable)
{
    QStringEncoder enc("GBK");
    QByteArray out = enc.encode(text);
    if (encodable)
        *encodable = !enc.hasError();
    return out;
}

QString fromGbk(const QByteArray &bytes)
{
    QStringDecoder dec("GBK");
    return dec.decode(bytes);
}

qsizetype gbkLength(const QString &text)
{
    bool ok = true;
    const QByteArray b = toGbk(text, &ok);
    return ok ? b.size() : -1;
}

bool gbkEncodable(const QString &text) { return gbkLength(text) >= 0; }

} // namespace lumvard
