#pragma once
// Text forms used everywhere: GBK measures (column widths count GBK bytes), and the display forms of
// numbers, money, grid summaries and dates.
#include <QByteArray>
#include <QString>

namespace lumvard {

// GBK bytes of a text; encodable is cleared when a character has no GBK form.
QByteArray toGbk(const QString &text, bool *encodable = nullptr);
QString fromGbk(const QByteArray &bytes);
// Length in GBK bytes; -1 when the text holds a character that GBK cannot hold.
qsizetype gbkLength(const QString &text);
bool gbkEncodable(const QString &text);

} // namespace lumvard
