#include "platform/gui/BandedReport.h"

#include "foundation/Clock.h"
#include "foundation/Errors.h"
#include "foundation/TextFormats.h"
#include "foundation/XDias.h"
#include "platform/Query.h"

#include <QAction>
#include <QFile>
#include <QFileDialog>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QToolBar>

namespace lumvard::platform {

namespace {

constexpr double kPaperWidth = 210.0; // A4 portrait, mm
constexpr double kPaperHeight = 297.0;
constexpr double kMeasureDpi = 1200.0;

PreviewHandler &handlerSlot() {
    static PreviewHandler handler;
    return handler;
}

int bandIndex(ReportBand band) {
    return static_cast<int>(band);
}

bool hasFamily(const QStringList &installed, const QString &family, QString *exact) {
    for (const QString &f : installed)
        if (f.compare(family, Qt::CaseInsensitive) == 0) {
            *exact = f;
            return true;
        }
    return false;
}

// The installed face that draws Chinese: WenQuanYi when present (its shapes are the Simplified ones),
// else any family that declares Simplified Chinese.
QString chineseFamily() {
    static const QString family = [] {
        const QStringList installed = QFontDatabase::families();
        QString exact;
        for (const char *preferred : {"WenQuanYi Micro Hei", "WenQuanYi Zen Hei", "Noto Sans CJK SC",
                                      "Noto Serif CJK SC", "AR PL UKai CN", "AR PL UMing CN"})
            if (hasFamily(installed, QString::fromLatin1(preferred), &exact)) return exact;
        const QStringList chinese = QFontDatabase::families(QFontDatabase::SimplifiedChinese);
        return chinese.isEmpty() ? QString() : chinese.first();
    }();
    return family;
}

// The Windows faces the layouts name, by kind.
bool isChineseFaceName(const QString &family) {
    static const QStringList names = {
        QStringLiteral("楷体_GB2312"),    QStringLiteral("楷体"),         QStringLiteral("宋体"),
        QStringLiteral("新宋体"),         QStringLiteral("黑体"),         QStringLiteral("仿宋_GB2312"),
        QStringLiteral("仿宋"),           QStringLiteral("隶书"),         QStringLiteral("幼圆"),
        QStringLiteral("SimSun"),         QStringLiteral("NSimSun"),      QStringLiteral("SimHei"),
        QStringLiteral("KaiTi"),          QStringLiteral("KaiTi_GB2312"), QStringLiteral("FangSong"),
        QStringLiteral("Microsoft YaHei")};
    for (const QString &n : names)
        if (n.compare(family, Qt::CaseInsensitive) == 0) return true;
    return family.contains(QChar(0x4F53)) /* 体 */ || family.contains(QChar(0x5B8B)) /* 宋 */;
}

QString latinFamily(const QString &family) {
    const QStringList installed = QFontDatabase::families();
    QString exact;
    if (hasFamily(installed, family, &exact)) return exact;
    const QString lower = family.toLower();
    QStringList candidates;
    if (lower.contains(QLatin1String("courier")) || lower.contains(QLatin1String("mono")))
        candidates = {QStringLiteral("Liberation Mono"), QStringLiteral("DejaVu Sans Mono")};
    else if (lower.contains(QLatin1String("times")) || lower.contains(QLatin1String("serif")) ||
             lower.contains(QLatin1String("georgia")))
        candidates = {QStringLiteral("Liberation Serif"), QStringLiteral("DejaVu Serif")};
    else
        candidates = {QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
                      QStringLiteral("DejaVu Sans")};
    for (const QString &c : candidates)
        if (hasFamily(installed, c, &exact)) return exact;
    return QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
}

double pxPerMm(const QPaintDevice *device) {
    return device->logicalDpiX() / 25.4;
}

// The measuring device: text boxes are laid out at a fixed fine resolution, independent of the screen.
const QImage &measureDevice() {
    static const QImage image = [] {
        QImage img(1, 1, QImage::Format_RGB32);
        const int dpm = qRound(kMeasureDpi / 0.0254);
        img.setDotsPerMeterX(dpm);
        img.setDotsPerMeterY(dpm);
        return img;
    }();
    return image;
}

} // namespace

const PlacedItem *LaidOutReport::byName(const QString &name) const {
    for (const LaidOutPage &p : pages)
        for (const PlacedItem &i : p.items)
            if (!name.isEmpty() && i.name == name) return &i;
    return nullptr;
}

const PlacedItem *LaidOutReport::byText(const QString &text) const {
    for (const LaidOutPage &p : pages)
        for (const PlacedItem &i : p.items)
            if (i.kind != ReportItem::Kind::Rule && i.text == text) return &i;
    return nullptr;
}

QStringList LaidOutReport::texts() const {
    QStringList out;
    for (const LaidOutPage &p : pages)
        for (const PlacedItem &i : p.items)
            if (i.kind != ReportItem::Kind::Rule) out << i.text;
    return out;
}

BandedReport::BandedReport(const QString &title)
    : m_title(title) {}

BandedReport::~BandedReport() = default;

void BandedReport::setMargins(double left, double top, double right, double bottom) {
    m_margins[0] = left;
    m_margins[1] = top;
    m_margins[2] = right;
    m_margins[3] = bottom;
}

void BandedReport::setBandHeight(ReportBand band, double mm) {
    m_heights[bandIndex(band)] = mm;
}

double BandedReport::bandHeight(ReportBand band) const {
    return m_heights[bandIndex(band)];
}

ReportItem &BandedReport::add(ReportItem::Kind kind, ReportBand band, double x, double y) {
    auto item = std::make_unique<ReportItem>();
    item->kind = kind;
    item->band = band;
    item->position = QPointF(x, y);
    item->font = m_defaultFont;
    m_items.push_back(std::move(item));
    return *m_items.back();
}

ReportItem &BandedReport::addLabel(ReportBand band, double x, double y, const QString &text) {
    ReportItem &i = add(ReportItem::Kind::Label, band, x, y);
    i.text = text;
    return i;
}

ReportItem &BandedReport::addField(ReportBand band, double x, double y, Query *dataset,
                                   const QString &field) {
    ReportItem &i = add(ReportItem::Kind::Field, band, x, y);
    i.dataset = dataset;
    i.field = field;
    return i;
}

ReportItem &BandedReport::addPrintDate(ReportBand band, double x, double y) {
    return add(ReportItem::Kind::PrintDate, band, x, y);
}

ReportItem &BandedReport::addPrintTime(ReportBand band, double x, double y) {
    return add(ReportItem::Kind::PrintTime, band, x, y);
}

ReportItem &BandedReport::addRule(ReportBand band, double x, double y, double lengthMm) {
    ReportItem &i = add(ReportItem::Kind::Rule, band, x, y);
    i.width = lengthMm;
    return i;
}

ReportItem *BandedReport::item(const QString &name) {
    for (auto &i : m_items)
        if (i->name == name) return i.get();
    return nullptr;
}

QString BandedReport::textOf(const ReportItem &item, int detailRow) const {
    QVariant value;
    QString text;
    switch (item.kind) {
    case ReportItem::Kind::Label:
        text = item.text;
        break;
    case ReportItem::Kind::Field: {
        const Query *q = item.dataset;
        if (q && q->isActive()) {
            const int column = q->fieldIndex(item.field);
            const int row = (item.band == ReportBand::Detail && q == m_dataset && detailRow >= 0)
                                ? detailRow
                                : q->currentRow();
            if (column >= 0 && row >= 0) {
                value = q->value(row, column);
                text = q->displayText(row, column);
            }
        }
        break;
    }
    case ReportItem::Kind::PrintDate:
        text = formatDate(Now().date());
        break;
    case ReportItem::Kind::PrintTime:
        text = Now().time().toString(QStringLiteral("hh:mm:ss"));
        break;
    case ReportItem::Kind::Rule:
        return {};
    }
    return item.onPrint ? item.onPrint(value, text) : text;
}

LaidOutReport BandedReport::layout() {
    if (beforePrint) beforePrint(*this);

    LaidOutReport out;
    out.title = m_title;
    out.paperMm = QSizeF(kPaperWidth, kPaperHeight);

    QList<int> detailRows; // -1: the one detail band of a report without dataset
    bool empty = false;
    if (m_dataset) {
        const int n = m_dataset->isActive() ? m_dataset->recordCount() : 0;
        for (int r = 0; r < n; ++r)
            detailRows << r;
        empty = n == 0;
    } else {
        detailRows << -1;
    }
    if (empty && !m_printIfEmpty) return out;

    const double left = m_margins[0];
    const double top = m_margins[1];
    const double bottom = kPaperHeight - m_margins[3];
    const QImage &measure = measureDevice();
    const double mmPerPx = 25.4 / kMeasureDpi;

    out.pages.append(LaidOutPage());
    double y = top;
    auto placeBand = [&](ReportBand band, int detailRow) {
        const double h = bandHeight(band);
        if (y + h > bottom + 1e-6 && y > top + 1e-6) {
            out.pages.append(LaidOutPage());
            y = top;
        }
        for (const auto &itemPtr : m_items) {
            const ReportItem &item = *itemPtr;
            if (item.band != band) continue;
            PlacedItem p;
            p.kind = item.kind;
            p.band = band;
            p.name = item.name;
            p.font = item.font;
            p.alignment = item.alignment;
            const QPointF origin(left + item.position.x(), y + item.position.y());
            if (item.kind == ReportItem::Kind::Rule) {
                p.rect = QRectF(origin, QSizeF(item.width, 0));
            } else {
                p.text = textOf(item, detailRow);
                const QFontMetricsF fm(resolveFont(item.font), &measure);
                const double textWidth = fm.horizontalAdvance(p.text) * mmPerPx;
                const double w = item.width > 0 ? item.width : textWidth;
                p.rect = QRectF(origin, QSizeF(w, fm.height() * mmPerPx));
            }
            out.pages.last().items.append(p);
        }
        y += h;
    };

    placeBand(ReportBand::Title, -1);
    for (int r : detailRows)
        placeBand(ReportBand::Detail, r);
    placeBand(ReportBand::Summary, -1);
    return out;
}

QFont BandedReport::resolveFont(const ReportFont &font) {
    const QString cjk = chineseFamily();
    QStringList families;
    if (isChineseFaceName(font.family)) {
        QString exact;
        if (hasFamily(QFontDatabase::families(), font.family, &exact)) families << exact;
    } else {
        families << latinFamily(font.family);
    }
    if (!cjk.isEmpty() && !families.contains(cjk)) families << cjk;
    QFont f;
    f.setFamilies(families);
    f.setPointSizeF(font.pointSize);
    f.setBold(font.bold);
    f.setUnderline(font.underline);
    return f;
}

void BandedReport::renderPage(QPainter &painter, const LaidOutReport &report, int page) {
    if (page < 0 || page >= report.pages.size()) return;
    const double scale = pxPerMm(painter.device());
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    for (const PlacedItem &item : report.pages[page].items) {
        const QRectF r(item.rect.x() * scale, item.rect.y() * scale, item.rect.width() * scale,
                       item.rect.height() * scale);
        if (item.kind == ReportItem::Kind::Rule) {
            QPen pen(Qt::black);
            pen.setWidthF(0.25 * scale);
            painter.setPen(pen);
            painter.drawLine(r.topLeft(), r.topRight());
            continue;
        }
        painter.setPen(Qt::black);
        painter.setFont(resolveFont(item.font));
        painter.drawText(r, int(item.alignment | Qt::AlignTop) | Qt::TextDontClip | Qt::TextSingleLine,
                         item.text);
    }
    painter.restore();
}

namespace {

void paintAll(QPaintDevice *device, const LaidOutReport &report) {
    QPainter painter;
    if (!painter.begin(device)) throw Error(QStringLiteral("无法打开打印设备"));
    auto *paged = dynamic_cast<QPagedPaintDevice *>(device);
    for (int p = 0; p < report.pages.size(); ++p) {
        if (p > 0 && paged) paged->newPage();
        BandedReport::renderPage(painter, report, p);
    }
    painter.end();
}

void writePdf(const QString &path, const QString &title, const LaidOutReport &report);

void preparePrinter(QPrinter &printer, const QString &title) {
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Portrait);
    printer.setFullPage(true); // the layout carries its own margins
    printer.setDocName(title);
}

} // namespace

void BandedReport::print(QPaintDevice *device) {
    paintAll(device, layout());
}

void BandedReport::exportPdf(const QString &path) {
    writePdf(path, m_title, layout());
}

namespace {

void writePdf(const QString &path, const QString &title, const LaidOutReport &report) {
    {
        QFile probe(path);
        if (!probe.open(QIODevice::WriteOnly))
            throw Error(QStringLiteral("无法写入文件 %1:\r\n%2").arg(path, probe.errorString()));
    }
    QPdfWriter writer(path);
    writer.setTitle(title);
    writer.setCreator(QStringLiteral("Lumvard"));
    writer.setResolution(1200);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0),
                                     QPageLayout::Millimeter));
    paintAll(&writer, report);
}

} // namespace

QImage BandedReport::renderImage(int page, double dpi) {
    const LaidOutReport report = layout();
    const double scale = dpi / 25.4;
    QImage image(qRound(kPaperWidth * scale), qRound(kPaperHeight * scale), QImage::Format_RGB32);
    const int dpm = qRound(dpi / 0.0254);
    image.setDotsPerMeterX(dpm);
    image.setDotsPerMeterY(dpm);
    image.fill(Qt::white);
    QPainter painter(&image);
    renderPage(painter, report, page);
    painter.end();
    return image;
}

void BandedReport::preview(QWidget *parent) {
    const LaidOutReport report = layout();
    if (const PreviewHandler handler = handlerSlot()) {
        handler(report);
        return;
    }
    QPrinter printer(QPrinter::HighResolution);
    preparePrinter(printer, m_title);
    QPrintPreviewDialog dialog(&printer, parent);
    dialog.setWindowTitle(m_title.isEmpty() ? QStringLiteral("打印预览") : m_title);
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     [&report](QPrinter *p) { runGuarded([&] { paintAll(p, report); }); });
    // Saving a PDF straight from the preview, besides the printer dialog's own "print to file".
    if (auto *bar = dialog.findChild<QToolBar *>()) {
        bar->addSeparator();
        QAction *save = bar->addAction(QStringLiteral("保存为PDF"));
        save->setObjectName(QStringLiteral("SavePdf"));
        QObject::connect(save, &QAction::triggered, &dialog, [&] {
            runGuarded([&] {
                const QString path = QFileDialog::getSaveFileName(&dialog, QStringLiteral("保存为PDF"),
                                                                  m_title + QStringLiteral(".pdf"),
                                                                  QStringLiteral("PDF (*.pdf)"));
                if (!path.isEmpty()) writePdf(path, m_title, report);
            });
        });
    }
    dialog.exec();
}

void setPreviewHandler(PreviewHandler handler) {
    handlerSlot() = std::move(handler);
}

PreviewHandler previewHandler() {
    return handlerSlot();
}

ScopedPreviewCapture::ScopedPreviewCapture()
    : m_previous(previewHandler()) {
    setPreviewHandler([this](const LaidOutReport &r) { m_reports.append(r); });
}

ScopedPreviewCapture::~ScopedPreviewCapture() {
    setPreviewHandler(m_previous);
}

} // namespace lumvard::platform
