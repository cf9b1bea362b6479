#include "reservations/YDDJReport.h"

#include "foundation/TextFormats.h"
#include "frontdesk/ReceiptParts.h"
#include "platform/Query.h"

namespace lumvard::reservations {

using platform::ReportBand;
using platform::ReportFont;

TYddjRep::TYddjRep(platform::Query &saved, platform::Query &entered)
    : BandedReport(QStringLiteral("预定定金凭证")) {
    // Laid out on its own grid, in points.
    const QString kai = QStringLiteral("楷体_GB2312");
    frontdesk::ReceiptFrame frame;
    frame.nameX = 77.3;
    frame.nameY = 1.3;
    frame.titleX = 77.5;
    frame.titleY = 7.9;
    frame.centredWidth = 0;
    frame.nameFont = ReportFont{kai, 16, true, false};
    frame.titleFont = ReportFont{kai, 14, true, true};
    frame.numberLabelX = 149.2;
    frame.numberFieldX = 166.2;
    frame.numberY = 13.2;
    frame.signY = 11.4;
    frame.timeY = 19.8;
    frame.guestX = 2.1;
    frame.cashierX = 86.8;
    frame.dateLabelX = 139.4;
    frame.dateX = 155.6;
    frame.timeX = 155.3;
    frontdesk::SetUpReceipt(*this, 18.0, 24.9, 27.5, ReportFont{QStringLiteral("Arial"), 9, false, false},
                            &saved);
    // The organisation name is read when printing, so a name changed since the report was built shows.
    frontdesk::AddReceiptHeading(*this, frame, QStringLiteral("预定定金凭证"), &saved,
                                 QStringLiteral("F106_01"));

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
                .printedBy(frontdesk::ReceiptMoney);
        }
    }
    addRule(ReportBand::Detail, 1.3, 24.2, 186);

    addLabel(ReportBand::Summary, 2.1, 2.4, QStringLiteral("此仅为预定定金凭证,不另作其他用途!"));
    frontdesk::AddReceiptSignatures(*this, frame)
        .withFont(ReportFont{QStringLiteral("Arial"), 10, false, false});
}

} // namespace lumvard::reservations
