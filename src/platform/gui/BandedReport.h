#pragma once
// Banded reports: the receipts and bills of the system. A report has a page (A4 portrait, margins in
// millimetres) and three bands — title (once, at the top of the first page), detail (once per row of
// the report's dataset, or once when it has none) and summary (once, after the last detail). Items sit
// in a band at a position in millimetres from the band's left and top edge: labels, data fields read
// from a dataset (with an optional print hook that formats the value), the print date and time, and
// horizontal rules.
//
// Printing first lays the report out (every item's text and place on every page), then one renderer
// draws that layout on any paint device: the printer behind the modal print preview, a PDF file or an
// image. Tests install a preview handler that receives the layout instead of the preview window.
#include <QFont>
#include <QList>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QVariant>
#include <functional>
#include <memory>
#include <vector>

class QImage;
class QPaintDevice;
class QPainter;
class QWidget;

namespace lumvard::platform {

class Query;

enum class ReportBand { Title, Detail, Summary };

// A font as the layouts name it; mapped onto an installed font when drawn (see resolveFont).
struct ReportFont {
    QString family = QStringLiteral("Arial");
    double pointSize = 9;
    bool bold = false;
    bool underline = false;

    // Layouts measured in screen pixels (96 per inch): 12 px is 9 pt.
    static double pixelsToPoints(double px) { return px * 72.0 / 96.0; }
};

class ReportItem {
public:
    enum class Kind { Label, Field, PrintDate, PrintTime, Rule };

    // Formats the printed text. `value` is the field's value (null for other items); `text` is the
    // text as it would print. Returns the text to print.
    using PrintHook = std::function<QString(const QVariant &value, const QString &text)>;

    Kind kind = Kind::Label;
    ReportBand band = ReportBand::Detail;
    QString name;     // the design's object name ("DW"), for hooks and tests
    QPointF position; // mm from the band's left and top edge
    double width = 0; // mm; rules: their length; text: the box the alignment works in (0: the text's own)
    Qt::Alignment alignment = Qt::AlignLeft;
    ReportFont font;
    QString text; // labels
    // Fields: the dataset and the field name. In the detail band the report's own dataset is read at
    // the row being printed; any other dataset at its current row.
    Query *dataset = nullptr;
    QString field;
    PrintHook onPrint;

    // Fluent setters for layouts.
    ReportItem &named(const QString &n) {
        name = n;
        return *this;
    }
    ReportItem &withFont(const ReportFont &f) {
        font = f;
        return *this;
    }
    ReportItem &aligned(Qt::Alignment a, double boxWidth) {
        alignment = a;
        width = boxWidth;
        return *this;
    }
    ReportItem &printedBy(PrintHook hook) {
        onPrint = std::move(hook);
        return *this;
    }
};

// One item placed on a page: what the renderer draws and what tests inspect.
struct PlacedItem {
    ReportItem::Kind kind = ReportItem::Kind::Label;
    ReportBand band = ReportBand::Detail;
    QString name;
    QString text;    // empty for rules
    QRectF rect;     // mm from the paper's top-left corner (rules: height 0)
    ReportFont font; // as the layout names it
    Qt::Alignment alignment = Qt::AlignLeft;
};

struct LaidOutPage {
    QList<PlacedItem> items;
};

struct LaidOutReport {
    QString title;
    QSizeF paperMm;
    QList<LaidOutPage> pages;

    // The first placed item with this name or exact text (nullptr when none), over all pages.
    const PlacedItem *byName(const QString &name) const;
    const PlacedItem *byText(const QString &text) const;
    // Every text in page order, for messages of failed tests and searches.
    QStringList texts() const;
};

class BandedReport {
public:
    explicit BandedReport(const QString &title = {});
    virtual ~BandedReport();
    BandedReport(const BandedReport &) = delete;
    BandedReport &operator=(const BandedReport &) = delete;

    const QString &title() const { return m_title; }

    // Page: A4 portrait; margins in mm (default 10 on every side).
    void setMargins(double left, double top, double right, double bottom);
    void setBandHeight(ReportBand band, double mm);
    double bandHeight(ReportBand band) const;
    void setDefaultFont(const ReportFont &font) { m_defaultFont = font; }
    const ReportFont &defaultFont() const { return m_defaultFont; }

    // The dataset whose rows the detail band repeats; none: the detail band prints once.
    void setDataset(Query *dataset) { m_dataset = dataset; }
    Query *dataset() const { return m_dataset; }
    // With an empty dataset: print title and summary (true, the default) or nothing at all.
    void setPrintIfEmpty(bool on) { m_printIfEmpty = on; }

    // Items; the returned reference stays valid for the report's lifetime.
    ReportItem &addLabel(ReportBand band, double x, double y, const QString &text);
    ReportItem &addField(ReportBand band, double x, double y, Query *dataset, const QString &field);
    ReportItem &addPrintDate(ReportBand band, double x, double y);
    ReportItem &addPrintTime(ReportBand band, double x, double y);
    ReportItem &addRule(ReportBand band, double x, double y, double lengthMm);
    ReportItem *item(const QString &name);

    // Runs before each layout, like a report's before-print event (e.g. to set a label's text).
    std::function<void(BandedReport &)> beforePrint;

    // The report laid out: runs beforePrint and every print hook; reads datasets without moving them.
    LaidOutReport layout();

    // Drawing. Each lays the report out once and draws every page.
    void print(QPaintDevice *device);    // a QPrinter, QPdfWriter or any paged device; new pages between
    void exportPdf(const QString &path); // raises lumvard::Error when the file cannot be written
    QImage renderImage(int page = 0, double dpi = 150);

    // The modal print preview (the operator prints from it, or saves a PDF); through the preview
    // handler when one is installed.
    void preview(QWidget *parent = nullptr);

    // Draws one laid-out page; the painter's device gives the resolution. Origin: the paper corner.
    static void renderPage(QPainter &painter, const LaidOutReport &report, int page);
    // The installed font for a layout's font: the named family when it is installed, else a face of
    // the same kind; Chinese text always falls back to an installed Chinese face.
    static QFont resolveFont(const ReportFont &font);

private:
    ReportItem &add(ReportItem::Kind kind, ReportBand band, double x, double y);
    QString textOf(const ReportItem &item, int detailRow) const;
    QString m_title;
    double m_margins[4] = {10, 10, 10, 10};
    double m_heights[3] = {20, 20, 20};
    ReportFont m_defaultFont;
    Query *m_dataset = nullptr;
    bool m_printIfEmpty = true;
    std::vector<std::unique_ptr<ReportItem>> m_items;
};

// The seam for tests: while a handler is installed, preview() hands it the laid-out report instead of
// opening the preview window.
using PreviewHandler = std::function<void(const LaidOutReport &)>;
void setPreviewHandler(PreviewHandler handler);
PreviewHandler previewHandler();

class ScopedPreviewCapture {
public:
    ScopedPreviewCapture();
    ~ScopedPreviewCapture();
    ScopedPreviewCapture(const ScopedPreviewCapture &) = delete;
    ScopedPreviewCapture &operator=(const ScopedPreviewCapture &) = delete;
    const QList<LaidOutReport> &reports() const { return m_reports; }
    int count() const { return int(m_reports.size()); }
    const LaidOutReport &last() const { return m_reports.last(); }

private:
    PreviewHandler m_previous;
    QList<LaidOutReport> m_reports;
};

} // namespace lumvard::platform
