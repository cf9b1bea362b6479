#include "frontdesk/Rzdjrep.h"

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
} // namespace

TYJRep::TYJRep(platform::Query &row, double depositBase)
    : BandedReport(QStringLiteral("收款押金凭证"))
    , m_depositBase(depositBase) {
    setMargins(10, 10, 10, 10);
    setBandHeight(ReportBand::Title, 20.0);
    setBandHeight(ReportBand::Detail, 26.0);
    setBandHeight(ReportBand::Summary, 36.0);
    setDefaultFont(ReportFont{QStringLiteral("Arial"), ReportFont::pixelsToPoints(12), false, false});
    setDataset(&row);
    setPrintIfEmpty(true);

    const QString kai = QStringLiteral("楷体_GB2312");
    // Read when printing: the organisation name of this start-up, never the design text.
    addLabel(ReportBand::Title, 0, 1, QStringLiteral("XX酒店/宾馆"))
        .named(QStringLiteral("DW"))
        .aligned(Qt::AlignHCenter, 190)
        .withFont(ReportFont{kai, ReportFont::pixelsToPoints(21), true, false})
        .printedBy([](const QVariant &, const QString &) { return AppContext().OrgName; });
    addLabel(ReportBand::Title, 0, 8.5, QStringLiteral("收款押金凭证"))
        .named(QStringLiteral("QRLabel1"))
        .aligned(Qt::AlignHCenter, 190)
        .withFont(ReportFont{kai, ReportFont::pixelsToPoints(19), true, true});
    addLabel(ReportBand::Title, 145, 15, QStringLiteral("发票编号:"));
    addField(ReportBand::Title, 163, 15, &row, QStringLiteral("F104_01")).named(QStringLiteral("F104_01"));

    addRule(ReportBand::Detail, 0, 0.5, 190);
    struct Item {
        double x;
        int line;
        const char *label;
        const char *field;
        bool money;
    };
    static const double lines[] = {3, 10.5, 18};
    const Item items[] = {
        {0, 0, "房间号:", "F104_02", false},     {50, 0, "房间类别:", "F104_03", false},
        {110, 0, "入住时间:", "F104_15", false}, {0, 1, "标准价:", "F104_04", true},
        {50, 1, "实际价:", "F104_06", true},     {100, 1, "客人姓名:", "F104_09", false},
        {145, 1, "证件名称:", "F104_10", false}, {0, 2, "随行人数:", "F104_13", false},
        {50, 2, "押金:", nullptr, true},         {100, 2, "证件号码:", "F104_11", false},
        {160, 2, "操作员:", "F104_14", false},
    };
    for (const Item &i : items) {
        const QString label = QString::fromUtf8(i.label);
        const double labelWidth = label.size() * 3.2 + 1;
        addLabel(ReportBand::Detail, i.x, lines[i.line], label);
        if (i.field) {
            const QString f = QString::fromLatin1(i.field);
            ReportItem &item =
                addField(ReportBand::Detail, i.x + labelWidth, lines[i.line], &row, f).named(f);
            if (i.money) item.printedBy(money);
        } else {
            const double base = m_depositBase;
            addField(ReportBand::Detail, i.x + labelWidth, lines[i.line], &row, QStringLiteral("F104_07"))
                .named(QStringLiteral("YJ"))
                .printedBy([base](const QVariant &value, const QString &) {
                    return formatMoney(value.toDouble() - base);
                });
        }
    }
    addRule(ReportBand::Detail, 0, 25, 190);

    addLabel(ReportBand::Summary, 0, 2,
             QStringLiteral("备注:本单据为贵客入住押金收取凭证，退房时请出示，遗失者自负，请小心保存。"));
    addLabel(ReportBand::Summary, 0, 8,
             QStringLiteral("退房时间为中午12:00前，延时退房17:00以前算半天房价，17:00以后算全天房价。"));
    addLabel(ReportBand::Summary, 0, 18, QStringLiteral("贵客签名:"));
    addLabel(ReportBand::Summary, 80, 18, QStringLiteral("收银员签名:"));
    addLabel(ReportBand::Summary, 140, 18, QStringLiteral("日期:"));
    addPrintDate(ReportBand::Summary, 152, 18).named(QStringLiteral("PrintDate"));
    addLabel(ReportBand::Summary, 140, 25, QStringLiteral("时间:"));
    addPrintTime(ReportBand::Summary, 152, 25).named(QStringLiteral("PrintTime"));
}

} // namespace lumvard::frontdesk
