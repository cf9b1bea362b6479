#include "foundation/TextFormats.h"

#include <QLocale>
#include <QStringDecoder>
#include <QStringEncoder>
#include <cmath>

namespace lumvard {

QByteArray toGbk(const QString &text, bool *encodable) {
    QStringEncoder enc("GBK");
    QByteArray out = enc.encode(text);
    if (encodable) *encodable = !enc.hasError();
    return out;
}

QString fromGbk(const QByteArray &bytes) {
    QStringDecoder dec("GBK");
    return dec.decode(bytes);
}

qsizetype gbkLength(const QString &text) {
    bool ok = true;
    const QByteArray b = toGbk(text, &ok);
    return ok ? b.size() : -1;
}

bool gbkEncodable(const QString &text) {
    return gbkLength(text) >= 0;
}

QString formatGeneral(double value) {
    if (value == 0.0) return QStringLiteral("0"); // also for -0
    QString s = QString::number(value, 'g', 15);
    const qsizetype e = s.indexOf(QLatin1Char('e'));
    if (e < 0) return s;
    // Exponent as "E20" / "E-5": no plus sign, no leading zeros.
    QString mantissa = s.left(e);
    QString exponent = s.mid(e + 1);
    bool negative = exponent.startsWith(QLatin1Char('-'));
    if (exponent.startsWith(QLatin1Char('+')) || negative) exponent.remove(0, 1);
    while (exponent.size() > 1 && exponent.startsWith(QLatin1Char('0')))
        exponent.remove(0, 1);
    return mantissa + QLatin1Char('E') + (negative ? QStringLiteral("-") : QString()) + exponent;
}

QString formatMoney(double value) {
    return QStringLiteral("￥") + QString::asprintf("%8.2f", value).trimmed();
}

namespace {

// Digits of |value| rounded half away from zero to `decimals` places, taken from its 15 significant
// digits so that 1.005 (stored as 1.00499…) rounds as the operator reads it.
void roundedDigits(double value, int decimals, QString &integerPart, QString &fractionPart) {
    const QString sci = QString::number(std::fabs(value), 'e', 14); // d.dddddddddddddde±X
    const qsizetype ePos = sci.indexOf(QLatin1Char('e'));
    QString digits = sci.left(ePos);
    digits.remove(QLatin1Char('.'));
    const int exponent = sci.mid(ePos + 1).toInt();
    if (std::fabs(value) == 0.0) digits = QStringLiteral("0");

    // value = 0.<digits> × 10^(exponent + 1)
    int intDigits = exponent + 1;
    const int keep = intDigits + decimals;
    if (keep < 0) {
        digits.clear();
    } else if (keep < digits.size()) {
        const bool up = digits.at(keep) >= QLatin1Char('5');
        digits.truncate(keep);
        if (up) {
            int i = keep - 1;
            for (; i >= 0; --i) {
                if (digits.at(i) == QLatin1Char('9')) {
                    digits[i] = QLatin1Char('0');
                } else {
                    digits[i] = QChar(digits.at(i).unicode() + 1);
                    break;
                }
            }
            if (i < 0) {
                digits.prepend(QLatin1Char('1'));
                ++intDigits;
            }
        }
    }
    // Lay the digits out around the decimal point.
    if (intDigits <= 0) {
        integerPart.clear();
        fractionPart = QString(-intDigits, QLatin1Char('0')) + digits;
    } else {
        if (digits.size() < intDigits) digits += QString(intDigits - digits.size(), QLatin1Char('0'));
        integerPart = digits.left(intDigits);
        fractionPart = digits.mid(intDigits);
    }
    if (fractionPart.size() < decimals)
        fractionPart += QString(decimals - fractionPart.size(), QLatin1Char('0'));
    fractionPart.truncate(decimals);
    while (integerPart.startsWith(QLatin1Char('0')))
        integerPart.remove(0, 1);
}

QString groupThousands(const QString &digits) {
    QString out;
    const qsizetype n = digits.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0) out += QLatin1Char(',');
        out += digits.at(i);
    }
    return out;
}

} // namespace

QString formatPattern(const QString &pattern, double value) {
    if (pattern.isEmpty()) return formatGeneral(value);
    if (!std::isfinite(value)) return formatGeneral(value);

    QString prefix, suffix;
    bool grouping = false, seenPlace = false, inFraction = false;
    int intZeros = 0, fracZeros = 0, fracHashes = 0;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern.at(i);
        QString *literal = seenPlace ? &suffix : &prefix;
        if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            const qsizetype end = pattern.indexOf(c, i + 1);
            const qsizetype stop = end < 0 ? pattern.size() : end;
            *literal += pattern.mid(i + 1, stop - i - 1);
            i = stop;
        } else if (c == QLatin1Char(',')) {
            grouping = true;
        } else if (c == QLatin1Char('0') || c == QLatin1Char('#')) {
            seenPlace = true;
            if (!inFraction) {
                if (c == QLatin1Char('0')) ++intZeros;
            } else if (c == QLatin1Char('0')) {
                // A "0" after a "#" still forces every place before it.
                fracZeros += fracHashes + 1;
                fracHashes = 0;
            } else {
                ++fracHashes;
            }
        } else if (c == QLatin1Char('.') && !inFraction &&
                   (seenPlace || (i + 1 < pattern.size() && (pattern.at(i + 1) == QLatin1Char('0') ||
                                                             pattern.at(i + 1) == QLatin1Char('#'))))) {
            inFraction = true;
            seenPlace = true;
        } else {
            *literal += c;
        }
    }
    if (!seenPlace) return prefix;

    const int decimals = fracZeros + fracHashes;
    QString integerPart, fractionPart;
    roundedDigits(value, decimals, integerPart, fractionPart);
    // Optional decimal places drop their trailing zeros.
    while (fractionPart.size() > fracZeros && fractionPart.endsWith(QLatin1Char('0')))
        fractionPart.chop(1);
    if (integerPart.size() < intZeros)
        integerPart = QString(intZeros - integerPart.size(), QLatin1Char('0')) + integerPart;

    bool isZero = true;
    for (const QChar d : integerPart + fractionPart)
        isZero = isZero && d == QLatin1Char('0');
    QString number = grouping ? groupThousands(integerPart) : integerPart;
    if (!fractionPart.isEmpty()) number += QLatin1Char('.') + fractionPart;
    if (value < 0 && !isZero) number.prepend(QLatin1Char('-'));
    return prefix + number + suffix;
}

QString formatDate(const QDate &date) {
    return date.isValid() ? date.toString(QStringLiteral("yyyy-MM-dd")) : QString();
}

QString formatDateTime(const QDateTime &dateTime) {
    return dateTime.isValid() ? dateTime.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")) : QString();
}

QString formatMonth(const QDate &date) {
    return date.isValid() ? date.toString(QStringLiteral("yyyy-MM")) : QString();
}

double parseNumber(const QString &text, bool *ok) {
    QLocale c = QLocale::c();
    c.setNumberOptions(QLocale::RejectGroupSeparator);
    bool parsed = false;
    double v = c.toDouble(text.trimmed(), &parsed);
    if (parsed && !std::isfinite(v)) parsed = false;
    if (!parsed) v = 0.0;
    if (ok) *ok = parsed;
    return v;
}

} // namespace lumvard
