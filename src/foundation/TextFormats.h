#pragma once
// Text forms used everywhere: GBK measures (column widths count GBK bytes), and the display forms of
// numbers, money, grid summaries and dates.
#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QString>

namespace lumvard {

// GBK bytes of a text; encodable is cleared when a character has no GBK form.
QByteArray toGbk(const QString &text, bool *encodable = nullptr);
QString fromGbk(const QByteArray &bytes);
// Length in GBK bytes; -1 when the text holds a character that GBK cannot hold.
qsizetype gbkLength(const QString &text);
bool gbkEncodable(const QString &text);

// The general number form of values computed on screen: the shortest text with at most 15
// significant digits, no grouping, no trailing zeros ("153", "142.8", "0.3"); very large or very
// small values in exponent form ("1E20", "1E-5").
QString formatGeneral(double value);

// Money on receipts and bills: "￥" followed by the value in "%8.2f", blanks trimmed ("￥168.00").
QString formatMoney(double value);

// Applies a display pattern of the grids and summaries to a number:
//   "0" and "#" are digit places ("0" always printed, "#" only when significant), the first "." is
//   the decimal point, a "," anywhere asks for thousands grouping; text in double or single quotes
//   and every other character are printed as they stand. The number is rounded half away from zero
//   at the last decimal place of the pattern. A pattern without digit places prints only its text;
//   an empty pattern gives the general form.
//   formatPattern("共0条记录", 3) → "共3条记录"; formatPattern("小计,0.00元", 12345.6) → "小计12,345.60元";
//   formatPattern(",0", 1280) → "1,280".
// A negative value gets its "-" right before the first digit ("小计-5.00元").
QString formatPattern(const QString &pattern, double value);

// "yyyy-MM-dd", "yyyy-MM-dd hh:mm:ss" and "yyyy-MM"; an invalid value gives the empty text.
QString formatDate(const QDate &date);
QString formatDateTime(const QDateTime &dateTime);
QString formatMonth(const QDate &date);

// A number typed by the operator: blanks around it are ignored, "." is the decimal separator, an
// exponent is allowed; grouping separators, "," as decimal separator, empty text, "nan" and "inf" are
// refused (ok cleared, result 0).
double parseNumber(const QString &text, bool *ok = nullptr);

} // namespace lumvard
