#pragma once
// The frame every receipt shares: the organisation name read when printing, the receipt's title, its
// number at the top right, and the signature row with the print date and time at the foot. Each
// receipt keeps its own measurements (the reservation receipt is laid out on another grid).
#include "platform/gui/BandedReport.h"

namespace lumvard::frontdesk {

struct ReceiptFrame {
    // Title band
    double nameX = 0, nameY = 1;
    double titleX = 0, titleY = 8.5;
    double centredWidth = 190; // > 0: the name and the title are centred across this width
    platform::ReportFont nameFont;
    platform::ReportFont titleFont;
    double numberLabelX = 145, numberFieldX = 163, numberY = 15;
    // Summary band: "贵客签名:", "收银员签名:", "日期:" on one line, "时间:" below it
    double signY = 12, timeY = 19;
    double guestX = 0, cashierX = 80, dateLabelX = 140, dateX = 152, timeX = 152;
};

// The frame of the two front-desk receipts (deposit and settlement), measured in screen pixels.
ReceiptFrame FrontDeskReceiptFrame(double signY, double timeY);

// Sets the report's margins, band heights, default font and dataset (printed even when empty).
void SetUpReceipt(platform::BandedReport &r, double titleMm, double detailMm, double summaryMm,
                  const platform::ReportFont &font, platform::Query *dataset);

// The organisation name ("DW"), the title ("QRLabel1") and "发票编号:" with `numberField` of `dataset`.
void AddReceiptHeading(platform::BandedReport &r, const ReceiptFrame &f, const QString &title,
                       platform::Query *dataset, const QString &numberField);

// Prints an amount of a receipt as money.
QString ReceiptMoney(const QVariant &value, const QString &design);

// The signature row and the print date ("PrintDate") and time ("PrintTime"); returns the time.
platform::ReportItem &AddReceiptSignatures(platform::BandedReport &r, const ReceiptFrame &f);

} // namespace lumvard::frontdesk
