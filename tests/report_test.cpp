#include <sys/stat.h>

#include <filesystem>

#include "bench/networks.h"
#include "guitest.h"
#include "insulation/economics.h"
#include "insulation/thickness.h"
#include "mainwin/songfont.h"
#include "netwin/profileview.h"
#include "netwin/schematicview.h"
#include "pipeline/pipeinsulation.h"
#include "pipeline/pipelinecalc.h"
#include "pipes/guanjing.h"
#include "report/calcreport.h"
#include "report/filewrite.h"
#include "report/pagedlayout.h"
#include "report/profilechart.h"
#include "report/schematic.h"

namespace dorvent {
namespace {

/// A main of equal 400 m segments of DN300 at 30 t/h from 1.3 MPa and 300 ℃.
PipelineDocument mainOf(int segments)
{
    PipelineDocument d{.project = "报告测试", .designer = "李工", .startPressure = 1.3, .startTemperature = 300};
    for (int i = 0; i < segments; ++i)
        d.segments.push_back({.label = "S" + std::to_string(i + 1), .dn = 300, .length = 400, .flow = 30, .zeta = 0.2,
                              .beta = 0.2, .phi = 1, .ambient = 10, .dropPerKm = 5, .heatLossSource = HeatLossSource::overhead});
    return d;
}

/// A word of a PDF as pdftotext finds it: where it stands (points from the top left of its page),
/// and on which page (from 1).
struct Word {
    QString text;
    QRectF box;
    int page;
};

std::vector<Word> wordsOf(const QString& pdf)
{
    const QString xml = outputOf("pdftotext", {"-bbox", pdf, "-"});
    const QRegularExpression tag(R"re(<page |<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]+)<)re");
    std::vector<Word> words;
    int page = 0;
    for (auto match = tag.globalMatch(xml); match.hasNext();) {
        const auto m = match.next();
        const auto at = [&m](int i) { return m.captured(i).toDouble(); };
        if (m.captured(0).startsWith("<page")) ++page;
        else words.push_back({m.captured(5), QRectF(QPointF(at(1), at(2)), QPointF(at(3), at(4))), page});
    }
    return words;
}

/// The first word that starts with a text, or that holds it anywhere; nullptr for none.
const Word* wordWith(const std::vector<Word>& words, const QString& text, bool start = true)
{
    const auto found = std::ranges::find_if(words, [&](const Word& w) { return start ? w.text.startsWith(text) : w.text.contains(text); });
    return found == words.end() ? nullptr : &*found;
}

/// The darkest grey within a box of points on a page as pdftoppm draws it at 150 dpi: 0 for black.
int darkestIn(const QString& pdf, const Word& word, const QTemporaryDir& folder)
{
    const QString stem = folder.filePath("page");
    outputOf("pdftoppm", {"-png", "-r", "150", "-f", QString::number(word.page), "-l", QString::number(word.page), "-singlefile", pdf, stem});
    const QImage image(stem + ".png");
    const QRect box = QTransform::fromScale(150 / 72.0, 150 / 72.0).mapRect(word.box).toAlignedRect() & image.rect();
    int darkest = 255;
    for (int y = box.top(); y <= box.bottom(); ++y)
        for (int x = box.left(); x <= box.right(); ++x) darkest = std::min(darkest, qGray(image.pixel(x, y)));
    return darkest;
}

/// A report's text without its blanks and line breaks, which wrapping puts where it will.
QString withoutBlanks(QString text) { return text.remove(QRegularExpression("\\s+")); }

/// The header of the table under a heading of a report's text, its lines joined by " | ".
QString tableHeader(const QString& text, const QString& heading)
{
    QStringList lines = text.mid(text.indexOf(heading)).split('\n').mid(1, 3);
    for (QString& line : lines) line = line.simplified();
    return lines.join(" | ");
}

struct Exports : ::testing::Test {
    RecordingMessages messages;
    frmguanxian window{nullptr};
    QTemporaryDir folder;
    QString path(const char* name) const { return folder.filePath(name); }
    QString cell(int row, Column column) const { return window.model()->index(row, static_cast<int>(column)).data().toString(); }
};

/// A report of a document written into a folder of the test's own.
struct Report : ::testing::Test {
    bool write(const PipelineDocument& d) { return writeReportPdf(d, calculatePipeline(d), pdf); }

    QTemporaryDir folder;
    QString pdf = folder.filePath("report.pdf");
};

TEST_F(Exports, ChartAndCsvHoldWhatTheTableAndTheTraceHold)
{
    // DN200 at 25 t/h (40.6 m/s), DN250 at 30 t/h (36.0 m/s, below its band of 40 to 60), DN200 at 22 t/h
    // (45.6 m/s): the velocity flags the middle segment only; the superheat, 108.5, 105.2 and 106.7 ℃,
    // flags the last two against a margin of 107 ℃. The last one has no label.
    PipelineDocument d = mainOf(3);
    std::tie(d.segments[0].dn, d.segments[0].flow, d.segments[1].dn, d.segments[2].dn, d.segments[2].flow, d.superheatMargin, d.segments[2].label) =
        std::tuple(200, 25, 250, 200, 22, 107, "");
    window.model()->resetDocument(d);
    const PipelineResult& result = window.model()->result();
    ASSERT_TRUE(result.allComputed);
    const ProfileData& drawn = control<ProfileView>(window, "chtpoumian")->data();
    QVector<QPointF> pressure, temperature;
    for (const ProfilePoint& point : result.profile) pressure << QPointF(point.distance, point.p), temperature << QPointF(point.distance, point.t);
    EXPECT_EQ(std::pair(drawn.pressure, drawn.temperature), std::pair(pressure, temperature));
    ASSERT_EQ(drawn.saturation.size(), pressure.size());
    EXPECT_EQ(drawn.saturation.back(), QPointF(1200, *result.profile.back().tsat));
    // The flagged segments shaded from end to end; the segment ends labelled where each ends.
    QStringList marks;
    for (const ProfileData::Span& span : drawn.flagged) marks << QStringLiteral("%1-%2").arg(span.from).arg(span.to);
    for (const ProfileData::Joint& joint : drawn.joints) marks << QStringLiteral("%1@%2").arg(joint.label).arg(joint.distance);
    EXPECT_EQ(marks, QStringList({"400-800", "800-1200", "S1@400", "S2@800", "管段 3@1200"}));
    EXPECT_EQ(std::pair(drawn.stop.has_value(), drawn.emptyText), std::pair(false, QString()));
    // Nothing to draw: it says why, and marks no stop.
    for (const auto& [start, why] : {std::pair(std::optional<double>(), "起点状态：请输入起点压力"),
                                     std::pair(std::optional<double>(1.3), "尚无算出的管段")}) {
        PipelineDocument none = mainOf(start ? 0 : 1);  // segments not computed are no failure
        none.startPressure = start;
        const ProfileData empty = profileData(none, calculatePipeline(none));
        EXPECT_EQ(std::pair(empty.stop.has_value(), empty.emptyText), std::pair(false, QString(why)));
    }

    ASSERT_TRUE(window.exportCsv(path("main.csv")));
    const QByteArray bytes = bytesOf(path("main.csv"));
    const QStringList lines = QString::fromUtf8(bytes.mid(3)).split("\r\n", Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 1 + 3 + 1);  // header, segments, totals
    EXPECT_TRUE(bytes.startsWith("\xEF\xBB\xBF") && lines[0].startsWith("管段,起点,终点,公称直径,固定,外径(mm)"));
    for (int row = 0; row < 4; ++row) {
        QStringList shown;
        for (const Column c : tableColumns(window.model()->document())) shown << cell(row, c);  // none of insulation here
        EXPECT_EQ(lines[row + 1], shown.join(','));
    }

    // The picture, and the PDF with its texts whole, as vectors.
    ASSERT_TRUE(window.exportChart(path("profile.png")));
    const QImage png(path("profile.png"), "PNG");
    EXPECT_EQ(png.size(), QSize(1200, 600));
    ProfileData bare = drawn;  // the picture is not the chart alone: it bears its caption
    bare.caption.clear();
    EXPECT_NE(png.convertToFormat(QImage::Format_RGB32), profileImage(bare, png.size()).convertToFormat(QImage::Format_RGB32));
    ASSERT_TRUE(window.exportChart(path("profile.PDF")));
    SKIP_WITHOUT_POPPLER();
    const QString chartText = pdfText(path("profile.PDF"), false);
    for (const char* text : {"报告测试", "全线：S1 至 管段 3", "管线压力与温度沿程分布", "压力 (MPa)", "温度 (℃)", "距起点距离 (m)", "1200"})
        EXPECT_TRUE(chartText.contains(text) && !chartText.contains("…")) << text << chartText.toStdString();
    EXPECT_FALSE(window.exportCsv(path("no/such/folder/main.csv")) || window.exportReport(path("no/such/folder/main.pdf")));
    EXPECT_EQ(messages.texts, QStringList({"无法写入文件 main.csv", "无法写入文件 main.pdf"}));
}

TEST_F(Exports, ReportIsSearchableEmbedsItsSongFaceAndRepeatsTableHeaders)
{
    window.model()->resetDocument(mainOf(4));
    ASSERT_TRUE(window.exportReport(path("report.pdf")));
    SKIP_WITHOUT_POPPLER();
    const QString text = pdfText(path("report.pdf"));
    // The title block with the designer's name, the date, and blanks to sign for checking and approval; the start
    // state's report; a main's table, without nodes; the remarks (21.6 m/s in DN300) and the bands; the heat loss
    // the table gives (DN300, overhead, 200 to 300 ℃); the totals; and every end state as the table shows it.
    const auto exact = [this](int row, Column c) { return QRegularExpression::escape(cell(row, c)); };
    QStringList expected = {"过热蒸汽管线计算书", "报告测试", "设计 +李工 +" + reportDate(), "\\n *校核 *\\n", "\\n *审核 *\\n",
                            "蒸汽属于区域2：过热蒸汽", "蒸汽密度 [\\d.]+ kg/m³\\n", "\n *管段 +公称直径",
                            "各管段均无超限。\\n *提示：管段 1 S1 起点流速", "末端过热度", " " + exact(3, Column::superheat),
                            "DN>200：40～60 m/s", "100≤DN≤200：30～50 m/s", "S4 +DN300 .* 架空 +4.15",
                            "合计 .*" + exact(4, Column::pressureDrop) + " .*" + exact(4, Column::heatLossKw)};
    for (int row = 0; row < 4; ++row) expected << exact(row, Column::pend) + " .*" + exact(row, Column::tend);
    for (const QString& e : expected) EXPECT_TRUE(text.contains(QRegularExpression(e))) << e.toStdString() << text.toStdString();
    // A main's tables: no nodes, no 固定, and the results without the flow, which the inputs give.
    EXPECT_EQ(tableHeader(text, "三、管段参数"), "外径 壁厚 长度 流量 局部阻力 同时使用 局部热损失 环境温度 假设温降 热损失 单位热损失 | "
                                                 "管段 公称直径 | mm mm m t/h 系数 系数 系数 ℃ ℃/km 取值 kJ/(m·h·℃)");
    EXPECT_EQ(tableHeader(text, "四、计算结果"), "起点压力 起点温度 起点流速 平均比摩阻 压降 末端压力 末端温度 温度降 每km温降 热损失 末端过热度 | "
                                                 "管段 | MPa ℃ m/s Pa/m MPa MPa ℃ ℃ ℃/km kW ℃");
    EXPECT_TRUE(QString(text).remove(QRegularExpression("\\n *")).contains("各管段依次相连，后一管段的起点状态为前一管段的末端状态。"));
    const QString fonts = outputOf("pdffonts", {path("report.pdf")});
    EXPECT_TRUE(fonts.contains(QRegularExpression("(UMing|CJK|SimSun)\\S*\\s+CID \\S+\\s+\\S+\\s+yes"))) << fonts.toStdString();
    // The formula 1/√λ without the gap of a full-width √ and λ: both within one and a half of the text's 10.5 pt.
    const std::vector<Word> words = wordsOf(path("report.pdf"));
    const Word *root = wordWith(words, "√", false), *lambda = wordWith(words, "λ", false);
    ASSERT_TRUE(root != nullptr && lambda != nullptr);
    EXPECT_LT(lambda->box.right() - root->box.left(), 1.5 * 10.5) << root->text.toStdString() << lambda->text.toStdString();

    // Sixty segments: several pages, each with its number of all, the header of the tables on each page
    // they run over, no heading left at the foot of a page, and the chart with its heading.
    // The pressure runs out in the 24th: the segments after it share one remark.
    window.model()->resetDocument(mainOf(60));
    ASSERT_TRUE(window.exportReport(path("long.pdf")));
    const QString all = pdfText(path("long.pdf"));
    EXPECT_TRUE(all.contains("管段 24 S24：压降过大") && all.contains("管段 25 至 60：未计算：前面的管段未算出"));
    const QStringList pages = all.split('\f', Qt::SkipEmptyParts);
    ASSERT_GE(pages.size(), 4);
    int inputHeaders = 0, resultHeaders = 0;  // both tables run over two pages at least
    for (int i = 0; i < pages.size(); ++i) {
        inputHeaders += pages[i].contains("公称直径") ? 1 : 0;
        resultHeaders += pages[i].contains("末端压力") ? 1 : 0;
        EXPECT_TRUE(pages[i].contains(QStringLiteral("第 %1 页 共 %2 页").arg(i + 1).arg(pages.size()))) << i + 1;
        const QStringList lines = pages[i].trimmed().split('\n');
        EXPECT_TRUE(lines[0].contains("过热蒸汽管线计算书") && lines[0].contains("报告测试")) << lines[0].toStdString();
        EXPECT_FALSE(lines.last().contains(QRegularExpression("^\\s*[一二三四五六]、"))) << lines.last().toStdString();
        EXPECT_EQ(pages[i].contains("五、压力与温度沿程分布"), pages[i].contains("管线压力与温度沿程分布"));
    }
    EXPECT_GE(std::min(inputHeaders, resultHeaders), 2) << inputHeaders << " " << resultHeaders;
}

TEST_F(Report, GivesEveryInsulatedPipeAgainstItsLimitsAndTheThicknessDesign)
{
    const PipelineDocument d = example("insulated-main.dorvent");
    const PipelineResult result = calculatePipeline(d);
    ASSERT_TRUE(write(d));
    SKIP_WITHOUT_POPPLER();
    const QString text = pdfText(pdf);
    const QString section = text.mid(text.indexOf("、保温计算"));
    ASSERT_FALSE(section.isEmpty());
    // Each pipe's start as its row in the table shows it, the breaches of C-D named, the materials' λ.
    for (std::size_t i = 0; i < d.segments.size(); ++i) {
        QStringList values;
        for (const Column c : {Column::surfaceTemperature, Column::lossPerMetre, Column::lossPerSquareMetre, Column::allowedLoss})
            values << QRegularExpression::escape(QString::fromStdString(cellText(d.segments[i], &result.segments[i], c)));
        values.insert(1, "50");  // the surface limit at 20 ℃
        EXPECT_TRUE(section.contains(QRegularExpression(values.join(" +")))) << i << " " << section.toStdString();
    }
    EXPECT_TRUE(section.contains(QRegularExpression(R"(管段 3 C-D：热损失 292\.829 W/m² 高于允许的 210\.438 W/m²；蒸汽温度 420\.119 ℃\s+高于内层材料)")));
    EXPECT_TRUE(section.contains(QRegularExpression(R"(岩棉 +tm ≤ 100：0\.0337 \+ 1\.51×10⁻⁴·tm；tm > 100：0\.0395 \+ 4\.71×10⁻⁵·tm \+ 5\.03×10⁻⁷·tm²)")));
    EXPECT_TRUE(section.contains(QRegularExpression(R"(铝合金薄板 +0\.225 +3\n)")));  // ε the middle of 0.15 to 0.3
    // The thickness design with the file's prices: the least and the economic thickness of each pipe's outer layer
    // as the insulation core finds them, the closed form beside the search for the one-layer pipe.
    for (std::size_t i = 0; i < d.segments.size(); ++i) {
        const PipeInsulation pipe = std::get<PipeInsulation>(pipeInsulation(d, d.segments[i], findCatalogueRow(d.segments[i].dn)->waijing, 20));
        const insulation::Surroundings around{result.segments[i].t0, 20, pipe.wind, pipe.emissivity};
        const auto least = insulation::leastThickness(pipe.construction, around, {50, result.segments[i].insulation->allowed});
        const auto economic = insulation::economicThicknessBySearch(pipe.construction, around, {60, 8000, 1200, 150, 6, 0.1});
        ASSERT_TRUE(least && economic);
        EXPECT_TRUE(section.contains(QRegularExpression(QString(R"(\n%1 .* %2 +%3 +%4)").arg(i + 1).arg(*least).arg(economic->thickness).arg(economic->yearlyCost, 0, 'f', 2))))
            << i << " " << *least << " " << economic->thickness;
    }
    EXPECT_TRUE(section.contains(QRegularExpression(R"(3 C-D .* 270（262\.\d）)")));
}

TEST_F(Report, ListsTheWarningsFirstAndTheNotesAfterThemInALighterGrey)
{
    // DN300 at 30 t/h is below its band: a note. DN200 at 34 t/h is above it, and the first pipe's superheat, the
    // least of them, below a margin 1 ℃ or less above it: two warnings, the first pipe's with a note besides.
    PipelineDocument d = mainOf(4);
    std::tie(d.segments[1].dn, d.segments[1].flow) = std::tuple(200, 34);
    d.superheatMargin = std::floor(*calculatePipeline(d).segments[0].superheat) + 1;
    std::vector<bool> flags;
    for (const SegmentRun& run : calculatePipeline(d).segments) flags.push_back(run.flagged());
    ASSERT_EQ(flags, std::vector<bool>({true, true, false, false}));
    ASSERT_TRUE(write(d));
    SKIP_WITHOUT_POPPLER();
    const QString text = pdfText(pdf);
    const QRegularExpression order("\\n *管段 1 S1：末端过热度[^\\n；]*\\n *管段 2 S2：起点流速 [^\\n；]*高于[^\\n；]*\\n"
                                   " *提示：管段 1 S1 起点流速[^；]*；\\s*管段 3 S3 起点流速[^；]*；\\s*管段 4 S4 起点流速[^；]*\\n\\s*\\n");
    EXPECT_TRUE(text.contains(order)) << text.toStdString();
    const std::vector<Word> words = wordsOf(pdf);
    const Word *warning = wordWith(words, "S2：起点流速"), *note = wordWith(words, "提示：管段");
    ASSERT_TRUE(warning != nullptr && note != nullptr);
    const int noteGrey = darkestIn(pdf, *note, folder);
    EXPECT_TRUE(darkestIn(pdf, *warning, folder) < 40 && noteGrey > 60 && noteGrey < 160) << noteGrey;
}

TEST_F(Report, ANetworksReportIsANetworksWithItsCriticalPathWholeAndItsSchematicLegibleOverPages)
{
    // 30 consumers along a spine of 30 pipes: the critical one at its end, 31 nodes from the source.
    ASSERT_TRUE(write(bench::spineNetwork(60)));
    SKIP_WITHOUT_POPPLER();
    const QString text = pdfText(pdf);
    EXPECT_TRUE(text.contains("过热蒸汽管网计算书") && !text.contains("管线计算书"));
    // A network's tables: the nodes and 固定 among the inputs, and the flow, summed or typed, among the results.
    EXPECT_EQ(tableHeader(text, "三、管段参数").section(" | ", 1, 1), "管段 起点 终点 公称直径 固定");
    EXPECT_EQ(tableHeader(text, "四、计算结果"), "流量 起点压力 起点温度 起点流速 平均比摩阻 压降 末端压力 末端温度 温度降 每km温降 热损失 末端过热度 | "
                                                 "管段 | t/h MPa ℃ m/s Pa/m MPa MPa ℃ ℃ ℃/km kW ℃");
    const QString method = QString(text).remove(QRegularExpression("\\n *"));
    EXPECT_TRUE(method.contains(QRegularExpression("枝状管网.*未输入流量的管段.*用汽量.*汇总.*最不利用户.*路径")) && !method.contains("各管段依次相连"));
    EXPECT_TRUE(text.contains(QRegularExpression("蒸汽密度 [\\d.]+ kg/m³")));
    // The path wraps onto as many lines as it needs, every node of it there.
    const QRegularExpressionMatch path =
        QRegularExpression("最不利用户：U30，路径 (.*?)(?=\\n\\s*[\\n\\f])", QRegularExpression::DotMatchesEverythingOption).match(text);
    QStringList nodes;
    for (const QString& node : path.captured(1).split("→")) nodes << node.trimmed();
    QStringList expected;
    for (int n = 0; n <= 30; ++n) expected << QStringLiteral("S%1").arg(n);
    EXPECT_EQ(nodes, expected << "U30") << path.captured(0).toStdString();
    EXPECT_GE(path.captured(1).count('\n'), 1);

    // The schematic over more than one page, between its heading and the next, with its legend; every consumer
    // named there once, the pages cut between its labels, and its labels (those of the bands' ends and
    // beginnings) no smaller than 6 pt: 6/10.5 of the text.
    const auto schematicOf = [](const std::vector<Word>& words) {
        const Word *heading = wordWith(words, "六、管网图"), *next = wordWith(words, "七、");
        std::vector<Word> drawn;
        for (const Word& w : words)
            if (heading != nullptr && next != nullptr && std::pair(w.page, w.box.top()) > std::pair(heading->page, heading->box.top()) &&
                std::pair(w.page, w.box.top()) < std::pair(next->page, next->box.top()))
                drawn.push_back(w);
        return drawn;
    };
    const std::vector<Word> words = wordsOf(pdf);
    const Word* body = wordWith(words, "末端过热度裕量");
    ASSERT_TRUE(body != nullptr);
    QStringList named;
    QSet<int> pages;
    for (const Word& w : schematicOf(words)) {
        named << w.text;
        if (!w.text.contains("（转下）") && !w.text.contains("（接上）")) continue;
        pages << w.page;
        EXPECT_GE(w.box.height(), 6 / 10.5 * body->box.height()) << w.text.toStdString();
    }
    EXPECT_TRUE(pages.size() >= 2 && named.contains("至最不利用户的路径"));
    for (int n = 1; n <= 30; ++n) EXPECT_EQ(named.count(QStringLiteral("U%1").arg(n)), 1) << n;

    // A small network's schematic is drawn no larger than its labels' 9 pt, smaller than the text's 10.5 pt.
    ASSERT_TRUE(write(bench::spineNetwork(2)));
    const std::vector<Word> smallWords = wordsOf(pdf), smallSchematic = schematicOf(smallWords);
    const auto u1 = std::ranges::find(smallSchematic, QString("U1"), &Word::text);
    ASSERT_NE(u1, smallSchematic.end());
    EXPECT_LT(u1->box.height(), wordWith(smallWords, "末端过热度裕量")->box.height());
}

TEST_F(Report, UnderTheEnergyBalanceSaysTheLawComparesTheLawsAndNamesTheDrainPoints)
{
    // The wet-branch example is case F of tests/data/wetsteam_reference.py; "reference" marks its fine march.
    PipelineDocument d = example("wet-branch.dorvent");
    ASSERT_TRUE(write(d));
    SKIP_WITHOUT_POPPLER();
    const QString text = pdfText(pdf);
    const QString joined = withoutBlanks(text);
    EXPECT_TRUE(joined.contains(QRegularExpression("温降按焓平衡计算.*h₂=h₁−Q/\\(1000·G\\).*T=T\\(p,h\\).*x=\\(h−h′\\)/\\(h″−h′\\)"
                                                   ".*均相流.*最低干度0\\.8时")));
    // The wet branch's row: dryness 0.8204, condensate 0.0898 t/h, saturated 85.9 m from its start (reference).
    EXPECT_TRUE(text.contains(QRegularExpression("\\n乙支线 .* 0\\.000 +0\\.820 +0\\.090 +86\\n"))) << text.toStdString();
    // Each pipe's end by both laws from the same start: the trunk 189.669 and 190.474 ℃, 甲支线 172.728 and
    // 179.340 ℃ (reference); 乙支线's steam reaches saturation 92.8 m along by the heat-loss law (reference).
    for (const auto& [pipe, balanced, heatLoss] : {std::tuple("管段 1 干线", 189.668775, 190.474371), {"管段 2 甲支线", 172.727508, 179.340495}}) {
        const QRegularExpressionMatch row = QRegularExpression(QString("\\n%1 +([\\d.]+) +([\\d.]+) +([\\d.]+)\\n").arg(pipe)).match(text);
        ASSERT_TRUE(row.hasMatch()) << pipe;
        EXPECT_NEAR(row.captured(1).toDouble(), balanced, 0.002) << pipe;
        EXPECT_NEAR(row.captured(2).toDouble(), heatLoss, 0.002) << pipe;
        EXPECT_NEAR(row.captured(3).toDouble(), heatLoss - balanced, 0.003) << pipe;
    }
    EXPECT_TRUE(text.contains(QRegularExpression("\\n管段 3 乙支线 +133\\.\\d+ +— +按热损失不能算出\\n")));
    // The heat-loss law's end stands in the comparison only, not again in the results table.
    const QString results = tableHeader(text, "、计算结果");
    EXPECT_TRUE(results.contains("饱和点距起点") && !results.contains("按热损失")) << results.toStdString();
    EXPECT_TRUE(joined.contains(withoutBlanks("、疏水点与凝结水 管段 3 乙支线：蒸汽在距起点 86 m 处达到饱和，此后析出凝结水；本管段生成 0.090 t/h，"
                                              "连同其下游管段共 0.090 t/h，末端干度 0.820。管网凝结水量：0.090 t/h，热损失：115.207 kW")));
    EXPECT_TRUE(text.contains(QRegularExpression("管网热损失：115\\.207 kW\\n *管网凝结水量：0\\.090 t/h\\n")));
    const QString nodes = tableHeader(text, "、节点");
    EXPECT_TRUE(nodes.contains("温度裕量 凝结水 |") && nodes.contains("干度 说明")) << nodes.toStdString();

    // The same network by the heat-loss law prints none of it.
    d.temperatureLaw = TemperatureLaw::heatLoss;
    ASSERT_TRUE(write(d));
    const QString heatLoss = pdfText(pdf);
    for (const char* word : {"焓平衡", "疏水点", "干度", "凝结水", "饱和点"}) EXPECT_FALSE(heatLoss.contains(word)) << word;
    // Each report names the law it was computed by.
    EXPECT_TRUE(withoutBlanks(heatLoss).contains("Δt=Q/(G·cp)（温降计算：按热损失）"));
    EXPECT_FALSE(joined.contains("温降计算：按热损失"));
}

TEST_F(Report, ADrainPointCountsTheCondensateOfThePipesItsSteamGoesOnTo)
{
    // Case F's trunk and its wet branch in series, the branch cut in two at 1000 m: it saturates 85.9 m along
    // its first part, and both parts form 0.0898 t/h (reference), of which the first forms less.
    const auto pipe = [](double D, double s, double L, double G) {
        return PipelineSegment{.label = "P" + std::to_string(static_cast<int>(L)), .outerDiameter = D, .wall = s, .length = L,
                               .flow = G, .zeta = 0.15, .beta = 0.2, .phi = 1, .ambient = 0, .dropPerKm = 5, .heatLoss = 0.8};
    };
    const PipelineDocument d{.startPressure = 1.0, .startTemperature = 200,
                             .segments = {pipe(159, 4.5, 500, 4), pipe(57, 3.5, 1000, 0.5), pipe(57, 3.5, 500, 0.5)},
                             .temperatureLaw = TemperatureLaw::enthalpyBalance};
    ASSERT_TRUE(write(d));
    SKIP_WITHOUT_POPPLER();
    const QString text = withoutBlanks(pdfText(pdf));
    const QRegularExpressionMatch line =
        QRegularExpression("管段2P1000：蒸汽在距起点86m处达到饱和，此后析出凝结水；本管段生成([\\d.]+)t/h，连同其下游管段共0\\.090t/h").match(text);
    ASSERT_TRUE(line.hasMatch()) << text.toStdString();
    EXPECT_LT(line.captured(1).toDouble(), 0.085);
    EXPECT_FALSE(text.contains("管段3P500：蒸汽在"));  // its steam arrives wet
    EXPECT_TRUE(text.contains("全线凝结水量：0.090t/h"));
}

TEST(Schematic, LabelsStandBesideTheirOwnNodesAndNoLabelOrLineRunsIntoAnother)
{
    // The example network, and a spine deep enough to be folded into bands.
    for (const PipelineDocument& d : {example("industrial-park.dorvent"), bench::spineNetwork(40)}) {
        const PipelineResult result = calculatePipeline(d);
        const Schematic schematic = makeSchematic(d, result);
        std::vector<std::pair<QRectF, const Schematic::Item*>> labels;
        std::vector<QRectF> strokes;  // the lines, a point wide, and the nodes
        for (const Schematic::Item& item : schematic.items) {
            for (const Schematic::Label& label : item.labels) labels.emplace_back(label.box, &item);
            for (qsizetype k = 1; k < item.line.size(); ++k) strokes.push_back(QRectF(item.line[k - 1], item.line[k]).normalized().adjusted(-0.5, -0.5, 0.5, 0.5));
            if (item.kind == Schematic::Item::node) strokes.push_back(item.shape);
        }
        const auto name = [&](const Schematic::Item* item) {
            return item->kind == Schematic::Item::pipe ? d.segments[item->index].label : result.nodes[item->index].name;
        };
        for (std::size_t a = 0; a < labels.size(); ++a) {
            for (std::size_t b = a + 1; b < labels.size(); ++b)
                EXPECT_FALSE(labels[a].first.intersects(labels[b].first)) << name(labels[a].second) << " " << name(labels[b].second);
            for (const QRectF& stroke : strokes) EXPECT_FALSE(labels[a].first.intersects(stroke)) << name(labels[a].second);
        }
        // A node's labels are nearer to it than to any other node.
        const auto distance = [](const QRectF& r, const QPointF& p) {
            return std::hypot(std::max({r.left() - p.x(), 0.0, p.x() - r.right()}), std::max({r.top() - p.y(), 0.0, p.y() - r.bottom()}));
        };
        for (const auto& [rect, item] : labels) {
            if (item->kind != Schematic::Item::node) continue;
            for (const Schematic::Item& other : schematic.items) {
                if (other.kind != Schematic::Item::node || other.index == item->index) continue;
                EXPECT_LT(distance(rect, item->shape.center()), distance(rect, other.shape.center())) << name(item) << " " << name(&other);
            }
        }
        // Pipes meet only where one ends and the next begins, or where they leave the same node.
        for (const Schematic::Item& a : schematic.items) {
            for (const Schematic::Item& b : schematic.items) {
                if (&a == &b || a.line.isEmpty() || b.line.isEmpty() || a.line.first() == b.line.first()) continue;
                for (qsizetype i = 1; i < a.line.size(); ++i) {
                    for (qsizetype k = 1; k < b.line.size(); ++k) {
                        QPointF at;
                        const bool meet = QLineF(a.line[i - 1], a.line[i]).intersects(QLineF(b.line[k - 1], b.line[k]), &at) == QLineF::BoundedIntersection;
                        EXPECT_TRUE(!meet || at == a.line.last() || at == b.line.last()) << name(&a) << " crosses " << name(&b);
                    }
                }
            }
        }
    }
}

TEST(SchematicView, MarksTheSelectionWithAHaloThatLeavesItsLineAsItIsAndExplainsItsColours)
{
    const PipelineDocument park = example("industrial-park.dorvent");
    SchematicView view;
    view.resize(800, 600);
    view.show();
    view.setSchematic(makeSchematic(park, calculatePipeline(park)), false);
    view.setTransform(QTransform::fromScale(2, 2));
    // Across the middle of a pipe's line into its end node: the pixels of the line, and those of a pale blue halo.
    const auto pale = [](const QColor& c) { return c.lightness() > 150 && c.blue() > c.red() + 40; };
    const auto across = [&view, &pale](std::size_t pipe) {
        const auto item = std::ranges::find_if(view.schematic().items, [pipe](const Schematic::Item& i) { return i.kind == Schematic::Item::pipe && i.index == pipe; });
        const QPointF middle = (item->line[2] + item->line[3]) / 2;
        view.centerOn(middle);
        const QImage image = view.viewport()->grab().toImage();
        const QRect column(view.mapFromScene(middle) - QPoint(0, 16), QSize(1, 33));
        return std::pair(pixelsIn(image, column, [](const QColor& c) { return c.lightness() < 110; }), pixelsIn(image, column, pale));
    };
    const auto [plainLine, plainHalo] = across(1);  // 造纸支线
    const auto [criticalLine, criticalHalo] = across(0);  // 干线1, on the path to the critical consumer
    view.highlight(1, std::nullopt);
    const auto [selectedLine, selectedHalo] = across(1);
    EXPECT_EQ(std::tuple(plainHalo, criticalHalo), std::tuple(0, 0));
    EXPECT_TRUE(selectedHalo >= 10 && std::abs(selectedLine - plainLine) <= 1 && criticalLine >= selectedLine + 3)
        << plainLine << " " << selectedLine << " " << criticalLine << " halo " << selectedHalo;
    // Zoomed in so far that the view holds no item whole, the line is drawn still.
    view.setTransform(QTransform::fromScale(16, 16));
    EXPECT_GE(across(1).first, 16);
    view.setTransform(QTransform::fromScale(2, 2));

    // The legend above the picture shows the colour of a warning and the halo of a selection.
    const QImage whole = view.grab().toImage();
    const QRect legend(0, 0, whole.width(), view.viewport()->geometry().top());
    const int orange = pixelsIn(whole, legend, [](const QColor& c) { return c.red() > 200 && c.green() > 110 && c.green() < 170 && c.blue() < 60; });
    EXPECT_TRUE(orange > 10 && pixelsIn(whole, legend, pale) > 10) << orange;
    // However narrow the view, the legend's rows end clear of the vertical scroll bar that runs down beside them.
    for (int width = 160; width <= 640; width += 20) {
        view.resize(width, 400);
        ASSERT_TRUE(view.verticalScrollBar()->isVisible());
        const int bar = view.verticalScrollBar()->mapTo(&view, QPoint(0, 0)).x(), top = view.contentsRect().top();
        const QRect beside(bar - 3, top, 3, view.viewport()->geometry().top() - 1 - top);
        EXPECT_EQ(pixelsIn(view.grab().toImage(), beside, [](const QColor& c) { return c.lightness() < 200; }), 0) << width;
    }
}

TEST(Schematic, LabelsAPipeWithTheFlowItCarriesSummedAsWritten)
{
    // 1.1 + 2.2 + 4.4 t/h summed into the pipe from S: 7.7 t/h, as the table shows it; a typed flow as typed.
    PipelineDocument d = mainOf(4);
    for (const auto& [i, from, to] : {std::tuple(0, "S", "A"), std::tuple(1, "A", "B"), std::tuple(2, "A", "C"), std::tuple(3, "A", "E")})
        std::tie(d.segments[i].from, d.segments[i].to, d.segments[i].flow) = std::tuple(from, to, std::nullopt);
    d.segments[3].flow = 4.4;
    d.nodes = {{.name = "B", .demand = 1.1}, {.name = "C", .demand = 2.2}, {.name = "E", .demand = 9}};
    const Schematic schematic = makeSchematic(d, calculatePipeline(d));
    QStringList pipes;
    for (const Schematic::Item& item : schematic.items) {
        if (item.kind != Schematic::Item::pipe) continue;
        QStringList texts;
        for (const Schematic::Label& label : item.labels) texts << label.text;
        pipes << texts.join(" / ");
    }
    EXPECT_EQ(pipes, QStringList({"S1 DN300 / 400 m  7.7 t/h", "S2 DN300 / 400 m  1.1 t/h", "S3 DN300 / 400 m  2.2 t/h", "S4 DN300 / 400 m  4.4 t/h"}));
}

TEST(Schematic, DrawsTheSourceSquareFailedPipesRedAndThePathToTheCriticalConsumerHeavy)
{
    // S feeds A, which feeds B and C; the pressure runs out on the way to C, the critical consumer.
    PipelineDocument d = mainOf(3);
    for (const auto& [i, from, to] : {std::tuple(0, "S", "A"), std::tuple(1, "A", "B"), std::tuple(2, "A", "C")})
        std::tie(d.segments[i].from, d.segments[i].to) = std::tuple(from, to);
    d.segments[2].length = 20000;
    const PipelineResult result = calculatePipeline(d);
    ASSERT_EQ(result.segments[2].status, SegmentStatus::failed);
    QStringList drawn;
    for (const Schematic::Item& item : makeSchematic(d, result).items)
        drawn << (item.kind == Schematic::Item::pipe ? QString::fromStdString(d.segments[item.index].label)
                                                     : QString::fromStdString(result.nodes[item.index].name) + (item.square ? "□" : "○"))
                     + QStringLiteral(" %1 %2").arg(item.width).arg(item.colour == QColor(200, 40, 40) ? "red" : "");
    EXPECT_EQ(drawn, QStringList({"S1 3.5 ", "S2 1.5 ", "S3 3.5 red", "S□ 1.5 ", "A○ 1.5 ", "B○ 1.5 ", "C○ 3 "}));
}

TEST(PagedLayout, KeepsAHeadingWithWhatFollowsIt)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter pdf(&buffer);
    pdf.setResolution(300);
    PagedLayout layout(pdf, 0);
    const QFont font = songFont(10.5);
    layout.space(pdf.height() - 2.5 * QFontMetricsF(font, &pdf).height());  // room for a line, not its heading too
    layout.heading("H", font);
    layout.lines({"L"}, font);
    const int pages = layout.pageCount();
    layout.lines(QStringList(200, "L"), font);  // more lines than a page holds go on to the next
    EXPECT_EQ(std::pair(pages, layout.pageCount()), std::pair(2, 5));

    // A picture two pages and a half high, cut at the lowest of its cuts that leaves each part on its page.
    PagedLayout pictures(pdf, 0);
    const double page = pdf.height();
    std::vector<std::pair<double, double>> parts;
    pictures.picture(2.5 * page, {0.5 * page, 0.9 * page, 1.2 * page, 1.6 * page, 2.2 * page},
                     [&parts](QPainter&, const QRectF&, double top, double bottom) { parts.emplace_back(top, bottom); });
    pictures.paint(pdf, [](QPainter&, const QRectF&, int) {});
    EXPECT_EQ(parts, (std::vector<std::pair<double, double>>{{0, 0.9 * page}, {0.9 * page, 1.6 * page}, {1.6 * page, 2.5 * page}}));
}

TEST(ProfileChart, AScreenKeepsTheFirstLowestHighestAndLastPointOfEveryColumn)
{
    QVector<QPointF> points;
    for (int x = 0; x < 100; ++x) points << QPointF(x, x == 33 ? 9 : x == 36 ? -9 : 0);
    const QVector<QPointF> kept = thinnedOut(points, 0, 10);  // ten columns
    EXPECT_TRUE(kept.contains(QPointF(33, 9)) && kept.contains(QPointF(36, -9)));
    // The first and the last of each column, and the two extremes.
    EXPECT_EQ(std::tuple(kept.size(), kept.front(), kept.back()), std::tuple(2 * 10 + 2, QPointF(0, 0), QPointF(99, 0)));
}

TEST(FileWrite, AFailedWriteLeavesTheOldFileAsItWas)
{
    QTemporaryDir folder;
    const QString path = folder.filePath("old.csv");
    ASSERT_TRUE(writeAtomically(path, QByteArray("old")));
    EXPECT_FALSE(writeAtomically(path, [](QIODevice& device) { return device.write("partial") < 0; }));
    EXPECT_EQ(std::pair(bytesOf(path), QDir(folder.path()).entryList(QDir::Files)), std::pair(QByteArray("old"), QStringList({"old.csv"})));
#ifndef _WIN32
    // A device is written in place and stays a device; a named pipe, which could wait for ever, is refused.
    EXPECT_TRUE(writeAtomically("/dev/null", QByteArray("bytes")) && std::filesystem::is_character_file("/dev/null"));
    const QString pipe = folder.filePath("pipe");
    ASSERT_EQ(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    EXPECT_TRUE(!writeAtomically(pipe, QByteArray("bytes")) && std::filesystem::is_fifo(pipe.toStdString()));
#endif
}

TEST(ProfileChart, ShadesFlaggedSegmentsAsBandsAndNamesWhereItStopped)
{
    // Five segments of 2 km, all flagged for their superheat, then an unlabelled sixth whose pressure runs out.
    PipelineDocument d{.startPressure = 10, .startTemperature = 550, .superheatMargin = 500};
    for (int i = 0; i < 6; ++i)
        d.segments.push_back({.label = i < 5 ? "T" + std::to_string(i + 1) : "", .dn = i < 5 ? 600 : 25, .length = 2000,
                              .flow = 200, .zeta = 0.2, .beta = 0.2, .phi = 1, .ambient = 10, .dropPerKm = 5, .heatLoss = 0.05});
    const PipelineResult result = calculatePipeline(d);
    ASSERT_EQ(result.segments[5].status, SegmentStatus::failed);
    const ProfileData data = profileData(d, result);
    EXPECT_EQ(std::pair(data.stop, data.stopText), std::pair(std::optional<double>(10000), QString("管段 6 未能算出")));
    // The bands cover the plot from its left edge on: a row across the middle is shaded from there.
    const QImage image = profileImage(data, {1200, 600});
    const auto band = [](const QColor& c) { return c.red() > 245 && c.green() > 215 && c.green() < 240 && c.blue() > 165 && c.blue() < 215; };
    const int shaded = pixelsIn(image, QRect(0, 300, image.width(), 1), band), left = pixelsIn(image, QRect(0, 300, image.width() / 10, 1), band);
    EXPECT_TRUE(shaded > image.width() / 2 && left > 0) << shaded << " columns shaded, " << left << " of them in the first tenth";
    // Ten kilometres are counted in km, and the stop is named inside the plot.
    QTemporaryDir folder;
    ASSERT_TRUE(saveProfile(data, folder.filePath("stop.pdf")));
    SKIP_WITHOUT_POPPLER();
    const QString text = pdfText(folder.filePath("stop.pdf"), false);
    EXPECT_TRUE(text.contains("距起点距离 (km)") && text.contains("管段 6 未能算出")) << text.toStdString();
}

TEST(PagedLayout, AlignsNumbersOnTheirPointsUnderTwoLineHeadersAndWrapsLinesOnlyWhereTheyMayBreak)
{
    QTemporaryDir folder;
    double width = 0;  // [pt]
    {
        QPdfWriter pdf(folder.filePath("table.pdf"));
        pdf.setResolution(300);
        PagedLayout layout(pdf, 0);
        layout.table({.columns = {{{"长度", "m"}, true}}, .rows = {{"2.5"}, {"10.125"}}}, songFont(10));
        QString path = "N0", temperatures = "0 ℃";
        for (int i = 1; i < 120; ++i) path += QStringLiteral(" → N%1").arg(i), temperatures += QStringLiteral(" %1 ℃").arg(i);
        layout.lines({path, temperatures}, songFont(10));
        layout.paint(pdf, [](QPainter&, const QRectF&, int) {});
        width = pdf.width() * 72.0 / 300;
    }
    // Where each word stands: the decimal points one above the other, the unit above the numbers.
    SKIP_WITHOUT_POPPLER();
    QMap<QString, QRectF> boxes;
    for (const Word& word : wordsOf(folder.filePath("table.pdf"))) boxes[word.text] = word.box;
    ASSERT_TRUE(boxes.contains("2.5") && boxes.contains("10.125") && boxes.contains("m"));
    const auto point = [&boxes](const QString& number) {  // digits and the point are of one width
        return boxes[number].left() + boxes[number].width() * number.indexOf('.') / number.size();
    };
    EXPECT_NEAR(point("2.5"), point("10.125"), 0.5);
    EXPECT_LE(boxes["m"].bottom(), boxes["2.5"].top());

    // The lines of the path and of the temperatures, each by its first word and its middle: none begins with an
    // arrow or a unit; the first of each at the margin, those it wraps onto two ideographs (20 pt) in, and none
    // beyond the width.
    std::vector<std::pair<double, Word>> lines;
    double margin = 1e9, right = 0;
    for (const Word& word : wordsOf(folder.filePath("table.pdf"))) {
        if (!QRegularExpression("^(N?\\d+|→|℃)$").match(word.text).hasMatch()) continue;
        const double middle = word.box.center().y();
        const auto line = std::ranges::find_if(lines, [middle](const auto& l) { return std::abs(l.first - middle) < 4; });
        if (line == lines.end()) lines.emplace_back(middle, word);
        else if (word.box.left() < line->second.box.left()) line->second = word;
        margin = std::min(margin, word.box.left());
        right = std::max(right, word.box.right());
    }
    ASSERT_GE(lines.size(), 10u);
    int atMargin = 0;
    for (const auto& [middle, first] : lines) {
        EXPECT_TRUE(first.text != "→" && first.text != "℃") << middle;
        atMargin += first.box.left() < margin + 1 ? 1 : 0;
        EXPECT_TRUE(first.box.left() < margin + 1 || std::abs(first.box.left() - margin - 20) <= 1) << first.text.toStdString();
    }
    EXPECT_TRUE(atMargin == 2 && right <= margin + width + 0.5) << atMargin << " " << right;
}

}  // namespace
}  // namespace dorvent
