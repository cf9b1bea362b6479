#include "frontdesk/JZReport.h"

#include "foundation/TextFormats.h"
#include "frontdesk/ReceiptParts.h"
#include "platform/Query.h"

namespace lumvard::frontdesk {

using platform::ReportBand;
using platform::ReportFont;
using platform::ReportItem;

namespace {
QString days(const QVariant &value, const QString &) {
    return QString::asprintf("%6.2f", value.toDouble()).trimmed() + QStringLiteral("天");
}
} // namespace

TJZRep::TJZRep(platform::Query &settlement, platform::Query &checkIn, const QString &refund)
    : BandedReport(QStringLiteral("结帐凭证")) {
    const ReceiptFrame frame = FrontDeskReceiptFrame(12, 19);
    SetUpReceipt(*this, 20.0, 33.0, 30.0,
                 ReportFont{QStringLiteral("Arial"), ReportFont::pixelsToPoints(12), false, false},
                 &settlement);
    AddReceiptHeading(*this, frame, QStringLiteral("结帐凭证"), &settlement, QStringLiteral("F105_01"));

    addRule(ReportBand::Detail, 0, 0.5, 190);
    enum Format { Plain, Money, Days };
    struct Item {
        double x;
        int line;
        const char *label;
        platform::Query *dataset; // nullptr: the refund text
        const char *field;
        Format format;
    };
    static const double lines[] = {3, 10.5, 18, 25.5};
    const Item items[] = {
        {0, 0, "房间号:", &settlement, "F105_02", Plain},
        {40, 0, "房间类别:", &settlement, "F105_03", Plain},
        {85, 0, "入住时间:", &checkIn, "F104_15", Plain},
        {140, 0, "结帐时间:", &settlement, "F105_09", Plain},
        {0, 1, "住宿天数:", &settlement, "F105_06", Days},
        {45, 1, "房价:", &settlement, "F105_05", Money},
        {90, 1, "已收押金:", &checkIn, "F104_07", Money},
        {145, 1, "总额:", &checkIn, "F104_08", Money},
        {0, 2, "客人姓名:", &checkIn, "F104_09", Plain},
        {45, 2, "住宿金额:", &settlement, "F105_07", Money},
        {95, 2, "结帐金额:", &settlement, "F105_07", Money},
        {145, 2, "应退押金:", nullptr, nullptr, Plain},
        {145, 3, "操作员:", &settlement, "F105_08", Plain},
    };
    int n = 0;
    for (const Item &i : items) {
        const QString label = QString::fromUtf8(i.label);
        const double labelWidth = label.size() * 3.2 + 1;
        addLabel(ReportBand::Detail, i.x, lines[i.line], label);
        if (!i.dataset) {
            addLabel(ReportBand::Detail, i.x + labelWidth, lines[i.line], refund)
                .named(QStringLiteral("YTYJ"));
            continue;
        }
        const QString f = QString::fromLatin1(i.field);
        // F105_07 prints twice; the second is the amount settled.
        ReportItem &item = addField(ReportBand::Detail, i.x + labelWidth, lines[i.line], i.dataset, f)
                               .named(n++ == 10 ? QStringLiteral("JZJE") : f);
        if (i.format == Money) item.printedBy(ReceiptMoney);
        if (i.format == Days) item.printedBy(days);
    }
    addRule(ReportBand::Detail, 0, 32, 190);

    addLabel(ReportBand::Summary, 0, 2, QStringLiteral("感谢您的光临，欢迎下次惠顾!"));
    AddReceiptSignatures(*this, frame);
}

} // namespace lumvard::frontdesk
