#include "frontdesk/JZReport.h"

#include "data/AppContext.h"
#include "foundation/TextFormats.h"
#include "platform/Query.h"

namespace lumvard::frontdesk {

using platform::ReportBand;
using platform::ReportFont;
using platform::ReportItem;

namespace {
QString money(const QVariant &value, const QString &) {
    return formatMoney(value.toDouble());
}
QString days(const QVariant &value, const QString &) {
    return QString::asprintf("%6.2f", value.toDouble()).trimmed() + QStringLiteral("天");
}
} // namespace

TJZRep::TJZRep(platform::Query &settlement, platform::Query &checkIn, const QString &refund)
    : BandedReport(QStringLiteral("结帐凭证")) {
    setMargins(10, 10, 10, 10);
    setBandHeight(ReportBand::Title, 20.0);
    setBandHeight(ReportBand::Detail, 33.0);
    setBandHeight(ReportBand::Summary, 30.0);
    setDefaultFont(ReportFont{QStringLiteral("Arial"), ReportFont::pixelsToPoints(12), false, false});
    setDataset(&settlement);
    setPrintIfEmpty(true);

    const QString kai = QStringLiteral("楷体_GB2312");
    addLabel(ReportBand::Title, 0, 1, QStringLiteral("XX酒店/宾馆"))
        .named(QStringLiteral("DW"))
        .aligned(Qt::AlignHCenter, 190)
        .withFont(ReportFont{kai, ReportFont::pixelsToPoints(21), true, false})
        .printedBy([](const QVariant &, const QString &) { return AppContext().OrgName; });
    addLabel(ReportBand::Title, 0, 8.5, QStringLiteral("结帐凭证"))
        .named(QStringLiteral("QRLabel1"))
        .aligned(Qt::AlignHCenter, 190)
        .withFont(ReportFont{kai, ReportFont::pixelsToPoints(19), true, true});
    addLabel(ReportBand::Title, 145, 15, QStringLiteral("发票编号:"));
    addField(ReportBand::Title, 163, 15, &settlement, QStringLiteral("F105_01"))
        .named(QStringLiteral("F105_01"));

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
        if (i.format == Money) item.printedBy(money);
        if (i.format == Days) item.printedBy(days);
    }
    addRule(ReportBand::Detail, 0, 32, 190);

    addLabel(ReportBand::Summary, 0, 2, QStringLiteral("感谢您的光临，欢迎下次惠顾!"));
    addLabel(ReportBand::Summary, 0, 12, QStringLiteral("贵客签名:"));
    addLabel(ReportBand::Summary, 80, 12, QStringLiteral("收银员签名:"));
    addLabel(ReportBand::Summary, 140, 12, QStringLiteral("日期:"));
    addPrintDate(ReportBand::Summary, 152, 12).named(QStringLiteral("PrintDate"));
    addLabel(ReportBand::Summary, 140, 19, QStringLiteral("时间:"));
    addPrintTime(ReportBand::Summary, 152, 19).named(QStringLiteral("PrintTime"));
}

} // namespace lumvard::frontdesk
