// dorvent-calc: calculates a pipeline file without a window, for scripts and batch runs.
// It only reads the file, hands it to the core and prints what the core writes; with --pdf it
// writes the calculation report that the pipeline window writes.

#include <QApplication>
#include <QCommandLineParser>
#include <QFile>
#include <QTranslator>

#include <csignal>
#include <cstdio>
#include <string>
#include <string_view>
#include <utility>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#endif

#include "app/qtchinese.h"
#include "report/calcreport.h"
#include "report/filewrite.h"
#include "pipeline/casetext.h"
#include "pipeline/loadcases.h"
#include "pipeline/pipelinecalc.h"
#include "pipeline/nodetable.h"
#include "pipeline/pipelinefile.h"
#include "pipeline/pipelinetable.h"
#include "pipeline/pipesizing.h"
#include "pipeline/sizingtext.h"

namespace {

constexpr int kAllComputed = 0;
constexpr int kNotAllComputed = 1;
constexpr int kRefused = 2;  // a file it cannot or will not read, or a wrong command line

constexpr const char* kDescription =
    "计算一个 Dorvent 管线文件（.dorvent，JSON 格式）：从起点状态起逐段计算各管段，\n"
    "把每段的起点与末端状态、流速、比摩阻、压降、温降、热损失和过热度及合计\n"
    "写到标准输出（UTF-8）；默认为文本，--csv 时为 CSV 表格。管网另有各节点的压力、温度\n"
    "和裕量及最不利用户；--nodes-csv 时为节点的 CSV 表格。\n"
    "文件的温降计算为按焓平衡时，另有各管段的末端干度、凝结水量、饱和点距起点和按热损失\n"
    "算得的末端温度，各节点的干度和凝结水量，及凝结水合计。\n"
    "管网含环路或有多个热源时，各管段流量（逆着起点→终点方向为负）、节点压力和温度由求解得出，\n"
    "另有各节点蒸汽来自各热源的份额，及求解的迭代次数、残差和各热源的供汽量；不能求解时只写原因。\n"
    "--pdf 另把计算书写成 PDF（A4，含沿程压力温度图），不需要显示器。\n"
    "文件有多个工况时，逐个工况计算，各工况的结果写在其名称之下，最后是各工况的最不利用户；\n"
    "CSV 表格的第一列为工况。--case 只计算所给名称的一个工况。\n"
    "--size 为管网自动选管：把选定管径的管线文件写到 OUT.dorvent，并输出各管段的原管径\n"
    "和新管径及钢材总质量；不能满足要求时输出原因，不写文件。只用于单一热源的枝状管网。\n"
    "\n"
    "退出状态：\n"
    "  0  各工况中所有管段都已算出，各节点的压力、温度和过热度都满足要求，保温管段都不超出限值\n"
    "  1  有管段未能算出或未计算，起点状态不能计算，有节点不满足要求，或有保温管段的表面温度、\n"
    "     热损失或保温材料的温度超出限值；\n"
    "     自动选管时，任何一组管径都不能满足要求，或管网不能计算\n"
    "  2  文件打不开或不是可读取的管线文件、结果或计算书写不出（原因写到标准错误），\n"
    "     或命令行有误";

/// The texts of QCommandLineParser in Chinese, so that the help and its errors speak the
/// language of the program without the Qt translation files, which may not be installed.
class ParserTexts : public QTranslator {
public:
    bool isEmpty() const override { return false; }
    QString translate(const char* context, const char* source, const char* /*disambiguation*/,
                      int /*n*/) const override
    {
        static const std::pair<std::string_view, const char*> texts[] = {
            {"Usage: %1", "用法：%1"},
            {"[options]", "[选项]"},
            {"Options:", "选项："},
            {"Arguments:", "参数："},
            {"Displays help on commandline options.", "显示本帮助。"},
            {"Displays help including Qt specific options.", "显示本帮助，包括 Qt 的选项。"},
            {"Displays version information.", "显示版本。"},
            {"Unknown option '%1'.", "未知选项“%1”。"},
            {"Unknown options: %1.", "未知选项：%1。"},
            {"Missing value after '%1'.", "“%1”后缺少值。"},
            {"Unexpected value after '%1'.", "“%1”后不应有值。"},
        };
        if (std::string_view(context) != "QCommandLineParser") return {};
        for (const auto& [english, chinese] : texts) {
            if (english == source) return QString::fromUtf8(chinese);
        }
        return {};
    }
};

void print(std::FILE* stream, const std::string& text) { std::fwrite(text.data(), 1, text.size(), stream); }

int refuse(const QString& reason)
{
    print(stderr, "dorvent-calc：" + reason.toStdString() + "\n");
    return kRefused;
}

/// Qt's own warnings (a missing runtime folder, fonts) are not the program's to print: standard
/// error carries only the reasons of a refusal.
void quiet(QtMsgType, const QMessageLogContext&, const QString&) {}

/// --size: the sizing's comparison on standard output, the sized document in its file, and the
/// report of the sized network with --pdf.
int sizeNetwork(const dorvent::PipelineDocument& document, const QCommandLineParser& parser,
                const QCommandLineOption& size, const QCommandLineOption& pdf, bool telescoping)
{
    const dorvent::SizingResult sized = dorvent::sizeNetwork(document, {.telescoping = telescoping});
    print(stdout, dorvent::sizingLines(document, sized));
    if (std::fflush(stdout) != 0) return refuse(QStringLiteral("无法写出结果"));
    if (sized.outcome != dorvent::SizingOutcome::sized) return kNotAllComputed;
    const std::string text = dorvent::writePipelineFile(sized.document);
    if (!dorvent::writeAtomically(parser.value(size), QByteArray(text.data(), static_cast<qsizetype>(text.size())))) {
        return refuse(parser.value(size) + QStringLiteral("：无法写入管线文件"));
    }
    if (parser.isSet(pdf) &&
        !dorvent::writeReportPdf(sized.document, dorvent::calculatePipeline(sized.document), parser.value(pdf))) {
        return refuse(parser.value(pdf) + QStringLiteral("：无法写入计算书"));
    }
    return kAllComputed;
}

}  // namespace

int main(int argc, char* argv[])
{
    // The report draws its chart with the widgets' painting, which needs no display here: never
    // the platform of a desktop session that may not be there.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(quiet);
#ifdef SIGXFSZ
    std::signal(SIGXFSZ, SIG_IGN);  // past a file-size limit a write fails and is reported
#endif
#ifdef _WIN32
    // The bytes the core writes, as on Linux: UTF-8, and no CR added before each LF (the CSV's
    // own CRLF stays CRLF). A console shows the UTF-8 as Chinese.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    SetConsoleOutputCP(CP_UTF8);
    // The offscreen platform reads fonts from one folder, Qt's own unless told: Windows' fonts,
    // 宋体 among them, for the report.
    if (!qEnvironmentVariableIsSet("QT_QPA_FONTDIR")) qputenv("QT_QPA_FONTDIR", qgetenv("WINDIR") + "\\Fonts");
#endif
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("dorvent-calc"));
    QCoreApplication::setApplicationVersion(QStringLiteral(DORVENT_VERSION));
    ParserTexts texts;  // for a machine without Qt's translations; Qt's own, installed last, come first
    QCoreApplication::installTranslator(&texts);
    QTranslator qtTexts;
    dorvent::installQtChinese(qtTexts);

    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromUtf8(kDescription));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption csv(QStringLiteral("csv"), QStringLiteral("以 CSV 表格输出（RFC 4180，CRLF 行尾），而不是文本。"));
    parser.addOption(csv);
    const QCommandLineOption nodesCsv(QStringLiteral("nodes-csv"),
                                      QStringLiteral("以 CSV 表格输出管网各节点的结果，而不是管段。"));
    parser.addOption(nodesCsv);
    const QCommandLineOption pdf(QStringLiteral("pdf"), QStringLiteral("另把计算书写到 PDF 文件 OUT.pdf。"),
                                 QStringLiteral("OUT.pdf"));
    parser.addOption(pdf);
    const QCommandLineOption size(QStringLiteral("size"),
                                  QStringLiteral("自动选管，把选定管径的管线文件写到 OUT.dorvent。"),
                                  QStringLiteral("OUT.dorvent"));
    parser.addOption(size);
    const QCommandLineOption anySize(QStringLiteral("no-telescoping"),
                                     QStringLiteral("自动选管时允许下游管道比上游的大。"));
    parser.addOption(anySize);
    const QCommandLineOption oneCase(QStringLiteral("case"), QStringLiteral("只计算名为 NAME 的工况。"),
                                     QStringLiteral("NAME"));
    parser.addOption(oneCase);
    parser.addPositionalArgument(QStringLiteral("文件"), QStringLiteral("要计算的管线文件（.dorvent）。"));
    // Not process(): it ends a wrong command line with status 1, which here means a failed segment.
    if (!parser.parse(QCoreApplication::arguments())) return refuse(parser.errorText());
    // Printed here rather than by showHelp() and showVersion(), which on Windows show a message
    // box instead when no console is attached, and then print nothing into a pipe.
    if (parser.isSet(help)) {
        print(stdout, parser.helpText().toStdString());
        return kAllComputed;
    }
    if (parser.isSet(version)) {
        print(stdout, QStringLiteral("%1 %2\n").arg(QCoreApplication::applicationName(), QCoreApplication::applicationVersion()).toStdString());
        return kAllComputed;
    }
    if (parser.positionalArguments().size() != 1) return refuse(QStringLiteral("请给出一个管线文件（--help 显示用法）"));

    const QString path = parser.positionalArguments().front();
    for (const QCommandLineOption& output : {pdf, size}) {
        if (!parser.isSet(output)) continue;
        if (const QString problem = dorvent::targetProblem(parser.value(output), path); !problem.isEmpty()) {
            return refuse(parser.value(output) + "：" + problem);
        }
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return refuse(path + (file.exists() ? QStringLiteral("：无法打开（没有读取权限，或不是文件）")
                                            : QStringLiteral("：文件不存在")));
    }
    // One byte beyond the limit is enough for the reader to refuse it, and a device without
    // end such as /dev/zero is not read forever.
    const QByteArray bytes = file.read(static_cast<qint64>(dorvent::kMostFileBytes) + 1);
    if (file.error() != QFileDevice::NoError) return refuse(path + QStringLiteral("：读取失败"));
    const dorvent::PipelineFileRead read = dorvent::readPipelineFile(std::string_view(bytes.data(), bytes.size()));
    if (!read.document) return refuse(path + "：" + QString::fromStdString(read.error));

    if (parser.isSet(size) && parser.isSet(oneCase)) return refuse(QStringLiteral("--case 与 --size 不能同时使用：自动选管满足文件的所有工况"));
    if (parser.isSet(size)) return sizeNetwork(*read.document, parser, size, pdf, !parser.isSet(anySize));

    const dorvent::PipelineDocument& document = *read.document;
    std::vector<dorvent::PipelineResult> results;
    std::vector<std::size_t> which;  // the case of each result
    dorvent::PipelineDocument reported = document;  // the report's: the case computed, or the design case and all
    if (parser.isSet(oneCase)) {
        const std::string name = parser.value(oneCase).toStdString();
        const std::size_t index = dorvent::caseIndex(document, name);
        if (index == dorvent::caseCount(document)) {
            std::string names;
            for (std::size_t k = 0; k < dorvent::caseCount(document); ++k) names += (k == 0 ? "" : "、") + dorvent::caseName(document, k);
            return refuse(QStringLiteral("文件中没有名为“%1”的工况（有：%2）").arg(parser.value(oneCase), QString::fromStdString(names)));
        }
        results.push_back(dorvent::calculateCase(document, index));
        which.push_back(index);
        reported = dorvent::documentForCase(document, index).document;
    } else {
        results = dorvent::calculateCases(document);
    }
    print(stdout, parser.isSet(nodesCsv) ? dorvent::casesCsv(document, results, true, which)
                  : parser.isSet(csv)    ? dorvent::casesCsv(document, results, false, which)
                                    : dorvent::casesLines(document, results, which));
    if (std::fflush(stdout) != 0) return refuse(QStringLiteral("无法写出结果"));
    if (parser.isSet(pdf) && !dorvent::writeReportPdf(reported, results.front(), parser.value(pdf))) {
        return refuse(parser.value(pdf) + QStringLiteral("：无法写入计算书"));
    }
    return dorvent::allCasesMet(results) ? kAllComputed : kNotAllComputed;
}
