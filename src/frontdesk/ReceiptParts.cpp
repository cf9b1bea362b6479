#include "frontdesk/ReceiptParts.h"

#include "data/AppContext.h"
#include "foundation/TextFormats.h"

namespace lumvard::frontdesk {

using platform::ReportBand;
using platform::ReportFont;
using platform::ReportItem;

ReceiptFrame FrontDeskReceiptFrame(double signY, double timeY) {
    const QString kai = QStringLiteral("楷体_GB2312");
    ReceiptFrame f;
    f.nameFont = ReportFont{kai, ReportFont::pixelsToPoints(21), true, false};
    f.titleFont = ReportFont{kai, ReportFont::pixelsToPoints(19), true, true};
    f.signY = signY;
    f.timeY = timeY;
    return f;
}

void SetUpReceipt(platform::BandedReport &r, double titleMm, double detailMm, double summaryMm,
                  const ReportFont &font, platform::Query *dataset) {
    r.setMargins(10, 10, 10, 10);
    r.setBandHeight(ReportBand::Title, titleMm);
    r.setBandHeight(ReportBand::Detail, detailMm);
    r.setBandHeight(ReportBand::Summary, summaryMm);
    r.setDefaultFont(font);
    r.setDataset(dataset);
    r.setPrintIfEmpty(true);
}

void AddReceiptHeading(platform::BandedReport &r, const ReceiptFrame &f, const QString &title,
                       platform::Query *dataset, const QString &numberField) {
    // Read when printing: the organisation name of this start-up, never the design text. Each item is
    // finished before the next is added (adding may move the items).
    auto centred = [&f](ReportItem &item) {
        if (f.centredWidth > 0) item.aligned(Qt::AlignHCenter, f.centredWidth);
    };
    centred(r.addLabel(ReportBand::Title, f.nameX, f.nameY, QStringLiteral("XX酒店/宾馆"))
                .named(QStringLiteral("DW"))
                .withFont(f.nameFont)
                .printedBy([](const QVariant &, const QString &) { return AppContext().OrgName; }));
    centred(r.addLabel(ReportBand::Title, f.titleX, f.titleY, title)
                .named(QStringLiteral("QRLabel1"))
                .withFont(f.titleFont));
    r.addLabel(ReportBand::Title, f.numberLabelX, f.numberY, QStringLiteral("发票编号:"));
    r.addField(ReportBand::Title, f.numberFieldX, f.numberY, dataset, numberField).named(numberField);
}

QString ReceiptMoney(const QVariant &value, const QString &) {
    return formatMoney(value.toDouble());
}

ReportItem &AddReceiptSignatures(platform::BandedReport &r, const ReceiptFrame &f) {
    r.addLabel(ReportBand::Summary, f.guestX, f.signY, QStringLiteral("贵客签名:"));
    r.addLabel(ReportBand::Summary, f.cashierX, f.signY, QStringLiteral("收银员签名:"));
    r.addLabel(ReportBand::Summary, f.dateLabelX, f.signY, QStringLiteral("日期:"));
    r.addPrintDate(ReportBand::Summary, f.dateX, f.signY).named(QStringLiteral("PrintDate"));
    r.addLabel(ReportBand::Summary, f.dateLabelX, f.timeY, QStringLiteral("时间:"));
    return r.addPrintTime(ReportBand::Summary, f.timeX, f.timeY).named(QStringLiteral("PrintTime"));
}

} // namespace lumvard::frontdesk
