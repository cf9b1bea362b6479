#include "platform/gui/BandedReport.h"
#include "foundation/Clock.h"
#include "foundation/TextFormats.h"
#include "platform/Command.h"
#include "platform/Query.h"
#include "support/Engines.h"

#include <QFile>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace lumvard;
using namespace lumvard::platform;

namespace {

// A small table of amounts on a local database, read through a Query like the receipts' datasets.
class BandedReportTest : public ::testing::Test {
protected:
    void SetUp() override {
        scratch = std::make_unique<test::ScratchDatabase>(Engine::SQLite);
        ASSERT_TRUE(scratch->ok()) << scratch->error().toStdString();
        ASSERT_TRUE(db.open(scratch->settings())) << db.lastError().toStdString();
        Command::run(db, QStringLiteral("create table T (K varchar(4) primary key, N varchar(20), A float)"));
        query.setConnection(&db);
        other.setConnection(&db);
    }
    void TearDown() override {
        query.close();
        other.close();
        db.close();
    }
    void fill(int rows) {
        for (int i = 1; i <= rows; ++i)
            Command::run(db, QStringLiteral("insert into T values (:k, :n, :a)"),
                         {{QStringLiteral("k"), QString::number(i).rightJustified(3, QLatin1Char('0'))},
                          {QStringLiteral("n"), QStringLiteral("客人%1").arg(i)},
                          {QStringLiteral("a"), i * 100.5}});
        query.setSql(QStringLiteral("select * from T order by K"));
        query.open();
    }
    // Title 20 mm, detail 10 mm, summary 15 mm; margins 10 mm.
    void build(BandedReport &r) {
        r.setBandHeight(ReportBand::Title, 20);
        r.setBandHeight(ReportBand::Detail, 10);
        r.setBandHeight(ReportBand::Summary, 15);
        r.setDataset(&query);
        r.addLabel(ReportBand::Title, 70, 2, QStringLiteral("收款凭证"))
            .named(QStringLiteral("T1"))
            .withFont(ReportFont{QStringLiteral("楷体_GB2312"), 14, true, true});
        r.addField(ReportBand::Detail, 5, 1, &query, QStringLiteral("N")).named(QStringLiteral("N"));
        r.addField(ReportBand::Detail, 60, 1, &query, QStringLiteral("A"))
            .named(QStringLiteral("A"))
            .printedBy([](const QVariant &v, const QString &) { return formatMoney(v.toDouble()); });
        r.addRule(ReportBand::Detail, 1, 9, 150).named(QStringLiteral("R"));
        r.addLabel(ReportBand::Summary, 2, 3, QStringLiteral("日期:"));
        r.addPrintDate(ReportBand::Summary, 20, 3).named(QStringLiteral("D"));
        r.addPrintTime(ReportBand::Summary, 20, 8).named(QStringLiteral("H"));
    }

    QList<const PlacedItem *> named(const LaidOutReport &r, const QString &name) {
        QList<const PlacedItem *> out;
        for (const LaidOutPage &p : r.pages)
            for (const PlacedItem &i : p.items)
                if (i.name == name) out << &i;
        return out;
    }

    std::unique_ptr<test::ScratchDatabase> scratch;
    Connection db;
    Query query;
    Query other;
};

TEST_F(BandedReportTest, BandsStackFromTheMarginsAndDetailsRepeatPerRowWithoutMovingTheCursor) {
    fill(3);
    query.setRecNo(2);
    ScopedClock clock(QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9)));
    BandedReport r(QStringLiteral("测试"));
    build(r);
    const LaidOutReport out = r.layout();

    ASSERT_EQ(out.pages.size(), 1);
    const PlacedItem *title = out.byName(QStringLiteral("T1"));
    ASSERT_NE(title, nullptr);
    EXPECT_DOUBLE_EQ(title->rect.x(), 80.0);
    EXPECT_DOUBLE_EQ(title->rect.y(), 12.0);
    EXPECT_TRUE(title->font.underline);

    const auto names = named(out, QStringLiteral("N"));
    const auto amounts = named(out, QStringLiteral("A"));
    ASSERT_EQ(names.size(), 3);
    ASSERT_EQ(amounts.size(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(names[i]->text, QStringLiteral("客人%1").arg(i + 1));
        EXPECT_DOUBLE_EQ(names[i]->rect.x(), 15.0);
        EXPECT_DOUBLE_EQ(names[i]->rect.y(), 10.0 + 20.0 + 10.0 * i + 1.0);
        EXPECT_GT(names[i]->rect.width(), 0.0);
    }
    EXPECT_EQ(amounts[0]->text, QStringLiteral("￥100.50"));
    EXPECT_EQ(amounts[2]->text, QStringLiteral("￥301.50"));
    const auto rules = named(out, QStringLiteral("R"));
    ASSERT_EQ(rules.size(), 3);
    EXPECT_DOUBLE_EQ(rules[0]->rect.width(), 150.0);
    EXPECT_DOUBLE_EQ(rules[0]->rect.height(), 0.0);
    EXPECT_EQ(query.recNo(), 2);

    // Summary right after the last detail.
    const PlacedItem *date = out.byName(QStringLiteral("D"));
    ASSERT_NE(date, nullptr);
    EXPECT_EQ(date->text, QStringLiteral("2024-03-05"));
    EXPECT_DOUBLE_EQ(date->rect.y(), 10.0 + 20.0 + 30.0 + 3.0);
    EXPECT_EQ(out.byName(QStringLiteral("H"))->text, QStringLiteral("14:07:09"));
}

TEST_F(BandedReportTest, FieldsOfAnotherDatasetReadItsCurrentRowAndMissingDataPrintsEmpty) {
    fill(2);
    other.setSql(QStringLiteral("select * from T order by K"));
    other.open();
    other.last();
    BandedReport r;
    build(r);
    r.addField(ReportBand::Detail, 100, 1, &other, QStringLiteral("N")).named(QStringLiteral("O"));
    r.addField(ReportBand::Detail, 130, 1, &other, QStringLiteral("NOSUCH")).named(QStringLiteral("X"));
    const LaidOutReport out = r.layout();
    const auto o = named(out, QStringLiteral("O"));
    ASSERT_EQ(o.size(), 2);
    EXPECT_EQ(o[0]->text, QStringLiteral("客人2"));
    EXPECT_EQ(o[1]->text, QStringLiteral("客人2"));
    EXPECT_EQ(named(out, QStringLiteral("X"))[0]->text, QString());

    other.close();
    EXPECT_EQ(named(r.layout(), QStringLiteral("O"))[0]->text, QString());
}

TEST_F(BandedReportTest, AnEmptyDatasetPrintsTitleAndSummaryOnlyOrNothing) {
    fill(0);
    BandedReport r;
    build(r);
    LaidOutReport out = r.layout();
    ASSERT_EQ(out.pages.size(), 1);
    EXPECT_TRUE(named(out, QStringLiteral("N")).isEmpty());
    ASSERT_NE(out.byName(QStringLiteral("D")), nullptr);
    EXPECT_DOUBLE_EQ(out.byName(QStringLiteral("D"))->rect.y(), 10.0 + 20.0 + 3.0);

    r.setPrintIfEmpty(false);
    EXPECT_TRUE(r.layout().pages.isEmpty());

    // Without a dataset the detail band prints once.
    r.setDataset(nullptr);
    EXPECT_EQ(named(r.layout(), QStringLiteral("R")).size(), 1);
}

TEST_F(BandedReportTest, BandsThatDoNotFitMoveToANewPageAtTheTopMargin) {
    // 297 - 20 margins = 277 mm: title 20 + 25 details of 10 = 270; the 26th starts page 2.
    fill(30);
    BandedReport r;
    build(r);
    const LaidOutReport out = r.layout();
    ASSERT_EQ(out.pages.size(), 2);
    const auto names = named(out, QStringLiteral("N"));
    ASSERT_EQ(names.size(), 30);
    EXPECT_DOUBLE_EQ(names[24]->rect.y(), 10.0 + 20.0 + 240.0 + 1.0);
    EXPECT_DOUBLE_EQ(names[25]->rect.y(), 11.0);
    EXPECT_EQ(out.pages[1].items.first().text, QStringLiteral("客人26"));
    // The summary (15 mm) still fits on page 2 after five details.
    bool onSecond = false;
    for (const PlacedItem &i : out.pages[1].items)
        onSecond = onSecond || i.name == QStringLiteral("D");
    EXPECT_TRUE(onSecond);
}

TEST_F(BandedReportTest, BeforePrintAndLabelHooksRunOnEveryLayout) {
    fill(1);
    BandedReport r;
    build(r);
    QString org = QStringLiteral("一号宾馆");
    r.beforePrint = [&](BandedReport &rep) { rep.item(QStringLiteral("T1"))->text = org; };
    EXPECT_NE(r.layout().byText(QStringLiteral("一号宾馆")), nullptr);
    org = QStringLiteral("二号宾馆");
    EXPECT_NE(r.layout().byText(QStringLiteral("二号宾馆")), nullptr);
    EXPECT_EQ(r.layout().byText(QStringLiteral("一号宾馆")), nullptr);
}

TEST(BandedReportFonts, LayoutFacesMapOntoInstalledFontsThatDrawChinese) {
    const QChar han(0x9884); // 预
    struct Case {
        const char *family;
        bool chineseFirst; // the named face is a Chinese one
    };
    const Case cases[] = {
        {"楷体_GB2312", true}, {"宋体", true}, {"Arial", false}, {"Times New Roman", false}};
    const QStringList installed = QFontDatabase::families();
    for (const Case &c : cases) {
        SCOPED_TRACE(c.family);
        const QFont f = BandedReport::resolveFont(ReportFont{QString::fromUtf8(c.family), 12, true, false});
        ASSERT_FALSE(f.families().isEmpty());
        for (const QString &fam : f.families())
            EXPECT_TRUE(installed.contains(fam)) << fam.toStdString();
        // The last family is the Chinese face, and it has the glyph.
        const QString chinese = f.families().last();
        EXPECT_TRUE(QFontDatabase::writingSystems(chinese).contains(QFontDatabase::SimplifiedChinese))
            << chinese.toStdString();
        EXPECT_TRUE(QFontMetricsF(QFont(chinese)).inFont(han));
        if (c.chineseFirst) {
            EXPECT_EQ(f.families().size(), 1);
        }
        EXPECT_DOUBLE_EQ(f.pointSizeF(), 12.0);
        EXPECT_TRUE(f.bold());
    }
}

// Dark pixels inside a rectangle given in mm.
int inkIn(const QImage &img, const QRectF &mm, double dpi) {
    const double s = dpi / 25.4;
    const QRect r = QRectF(mm.x() * s, mm.y() * s, mm.width() * s, mm.height() * s).toAlignedRect();
    int ink = 0;
    for (int y = qMax(0, r.top()); y <= qMin(img.height() - 1, r.bottom()); ++y)
        for (int x = qMax(0, r.left()); x <= qMin(img.width() - 1, r.right()); ++x)
            if (qGray(img.pixel(x, y)) < 128) ++ink;
    return ink;
}

TEST_F(BandedReportTest, ImagesDrawChineseTextAndRulesWhereTheLayoutPutsThem) {
    fill(1);
    BandedReport r;
    build(r);
    const LaidOutReport out = r.layout();
    const QImage img = r.renderImage(0, 100);
    ASSERT_EQ(img.width(), qRound(210 * 100 / 25.4));
    const PlacedItem *title = out.byName(QStringLiteral("T1"));
    EXPECT_GT(inkIn(img, title->rect, 100), 20);
    const PlacedItem *rule = out.byName(QStringLiteral("R"));
    EXPECT_GT(inkIn(img, rule->rect.adjusted(0, -0.3, 0, 0.3), 100), 300);
    // Nothing is drawn in the empty right part of the title band.
    EXPECT_EQ(inkIn(img, QRectF(150, 10, 50, 18), 100), 0);
}

TEST_F(BandedReportTest, PdfFilesHoldTheTextsAndAnUnwritablePathIsReported) {
    fill(2);
    BandedReport r(QStringLiteral("测试"));
    build(r);
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("r.pdf"));
    r.exportPdf(pdf);
    QProcess p;
    p.start(QStringLiteral("pdftotext"),
            {QStringLiteral("-enc"), QStringLiteral("UTF-8"), pdf, QStringLiteral("-")});
    ASSERT_TRUE(p.waitForFinished(30000));
    const QString text = QString::fromUtf8(p.readAllStandardOutput());
    for (const QString &t : {QStringLiteral("收款凭证"), QStringLiteral("客人1"), QStringLiteral("客人2"),
                             QStringLiteral("￥201.00"), QStringLiteral("日期:")})
        EXPECT_TRUE(text.contains(t)) << t.toStdString() << "\n" << text.toStdString();

    EXPECT_THROW(r.exportPdf(dir.filePath(QStringLiteral("no/such/dir/r.pdf"))), Error);
}

TEST_F(BandedReportTest, PreviewGoesToTheInstalledHandler) {
    fill(1);
    BandedReport r(QStringLiteral("测试"));
    build(r);
    {
        ScopedPreviewCapture capture;
        r.preview();
        r.preview();
        ASSERT_EQ(capture.count(), 2);
        EXPECT_EQ(capture.last().title, QStringLiteral("测试"));
        EXPECT_NE(capture.last().byText(QStringLiteral("客人1")), nullptr);
    }
    EXPECT_FALSE(static_cast<bool>(previewHandler()));
}

} // namespace
