#include "frontdesk/Rzdjrep.h"

#include "foundation/TextFormats.h"
#include "frontdesk/ReceiptParts.h"
#include "platform/Query.h"

namespace lumvard::frontdesk {

using platform::ReportBand;
using platform::ReportFont;
using platform::ReportItem;

TYJRep::TYJRep(platform::Query &row, double depositBase)
    : BandedReport(QStringLiteral("收款押金凭证"))
    , m_depositBase(depositBase) {
    const ReceiptFrame frame = FrontDeskReceiptFrame(18, 25);
    SetUpReceipt(*this, 20.0, 26.0, 36.0,
                 ReportFont{QStringLiteral("Arial"), ReportFont::pixelsToPoints(12), false, false}, &row);
    AddReceiptHeading(*this, frame, QStringLiteral("收款押金凭证"), &row, QStringLiteral("F104_01"));

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
            if (i.money) item.printedBy(ReceiptMoney);
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
    AddReceiptSignatures(*this, frame);
}

} // namespace lumvard::frontdesk
