#include "reservations/YDDJReport.h"

#include "data/AppContext.h"
#include "foundation/TextFormats.h"
#include "platform/Query.h"

namespace lumvard::reservations {

using platform::ReportBand;
using platform::ReportFont;

TYddjRep::TYddjRep(platform::Query &saved, platform::Query &entered)
    : BandedReport(QStringLiteral("预定定金凭证")) {
    setMargins(10, 10, 10, 10);
    setBandHeight(ReportBand::Title, 18.0);
    setBandHeight(ReportBand::Detail, 24.9);
    setBandHeight(ReportBand::Summary, 27.5);
    setDefaultFont(ReportFont{QStringLiteral("Arial"), 9, false, false});
    setDataset(&saved);
    setPrintIfEmpty(true);

    const QString kai = QStringLiteral("楷体_GB2312");
    // The organisation name is read when printing, so a name changed since the report was built shows.
    addLabel(ReportBand::Title, 77.3, 1.3, QStringLiteral("XX酒店/宾馆"))
        .named(QStringLiteral("DW"))
        .withFont(ReportFont{kai, 16, true, false})
        .printedBy([](const QVariant &, const QString &) { return AppContext().OrgName; });
    addLabel(ReportBand::Title, 77.5, 7.9, QStringLiteral("预定定金凭证"))
        .named(QStringLiteral("QRLabel1"))
        .withFont(ReportFont{kai, 14, true, true});
    addLabel(ReportBand::Title, 149.2, 13.2, QStringLiteral("发票编号:"));
    addField(ReportBand::Title, 166.2, 13.2, &saved, QStringLiteral("F106_01"))
        .named(QStringLiteral("F106_01"));

    addRule(ReportBand::Detail, 1.3, 0.1, 186);
    struct Pair {
        double row;
        int column;
        const char *label;
        const char *field; // nullptr: the deposit
    };
    static const double labelX[] = {2.1, 61.4, 120.4};
    static const double valueX[] = {19.1, 78.3, 138.4};
    const Pair pairs[] = {
        {2.1, 0, "房间号:", "F106_03"},   {2.1, 1, "客人类别:", "F106_02"},  {2.1, 2, "预定时间:", "F106_11"},
        {9.5, 0, "客人姓名:", "F106_04"}, {9.5, 1, "证件名称:", "F106_05"},  {9.5, 2, "证件号码:", "F106_06"},
        {17.7, 0, "定金:", nullptr},      {17.7, 1, "联系电话:", "F106_09"}, {17.7, 2, "操作员:", "F106_10"},
    };
    for (const Pair &p : pairs) {
        addLabel(ReportBand::Detail, labelX[p.column], p.row, QString::fromUtf8(p.label));
        if (p.field) {
            const QString f = QString::fromLatin1(p.field);
            addField(ReportBand::Detail, valueX[p.column], p.row, &saved, f).named(f);
        } else {
            addField(ReportBand::Detail, valueX[p.column], p.row, &entered, QStringLiteral("F106_08"))
                .named(QStringLiteral("DJ"))
                .printedBy(
                    [](const QVariant &value, const QString &) { return formatMoney(value.toDouble()); });
        }
    }
    addRule(ReportBand::Detail, 1.3, 24.2, 186);

    addLabel(ReportBand::Summary, 2.1, 2.4, QStringLiteral("此仅为预定定金凭证,不另作其他用途!"));
    addLabel(ReportBand::Summary, 2.1, 11.4, QStringLiteral("贵客签名:"));
    addLabel(ReportBand::Summary, 86.8, 11.4, QStringLiteral("收银员签名:"));
    addLabel(ReportBand::Summary, 139.4, 11.4, QStringLiteral("日期:"));
    addPrintDate(ReportBand::Summary, 155.6, 11.4).named(QStringLiteral("PrintDate"));
    addLabel(ReportBand::Summary, 139.4, 19.8, QStringLiteral("时间:"));
    addPrintTime(ReportBand::Summary, 155.3, 19.8)
        .named(QStringLiteral("PrintTime"))
        .withFont(ReportFont{QStringLiteral("Arial"), 10, false, false});
}

} // namespace lumvard::reservations
