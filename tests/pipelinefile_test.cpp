#include <gtest/gtest.h>

#include "pipeline/pipelinefile.h"
#include "tests/shapes.h"

namespace dorvent {
namespace {

PipelineDocument everyKindOfValue()
{
    // Every field a value of its own, so that no two can be mixed up unnoticed.
    PipelineDocument d{.project = "热电厂\"东线\"\n蒸汽管网", .designer = "张工", .startPressure = 1000, .pressureUnit = "kPa",
                       .startTemperature = 523.15, .temperatureUnit = "K", .superheatMargin = 7.5};
    d.segments.push_back({.label = "A-B", .from = "锅炉房", .to = "A", .dn = 200, .outerDiameter = 273, .wall = 7, .length = 250.4,
                          .flow = 10, .zeta = 0.25, .beta = 0.15, .phi = 0.9, .ambient = -5, .dropPerKm = 4.5,
                          .heatLossSource = HeatLossSource::walkableTrench, .heatLoss = 0.1});
    d.segments.push_back({.label = "", .outerDiameter = 219, .wall = 0.00001, .length = 100000, .flow = 1e-7,
                          .notNumbers = {{"zeta", "0,2"}, {"beta", "零点二"}}});  // typed, and no number
    d.nodes.push_back({.name = "A", .demand = 3, .requiredPressure = 0.8, .requiredTemperature = 200});
    return d;
}

TEST(PipelineFile, RoundTripIsLosslessAndWritesNoExponent)
{
    const PipelineDocument d = everyKindOfValue();
    const std::string text = writePipelineFile(d);
    const PipelineFileRead read = readPipelineFile(text);
    EXPECT_EQ(std::pair(read.error, read.document), std::pair(std::string(), std::optional(d)));
    for (const char* written : {"\"wall\": 0.00001", "\"flow\": 0.0000001", "\"length\": 100000,", "\"phi\": null", "\"zeta\": \"0,2\""})
        EXPECT_NE(text.find(written), std::string::npos) << written << text;
    const std::string plain = "\"length\": 250.4";
    const std::string numberAsText = std::string(text).replace(text.find(plain), plain.size(), "\"length\": \"250.4\"");
    EXPECT_EQ(readPipelineFile(numberAsText).document, d);  // a number written as a text is that number
    EXPECT_TRUE(shapes::hasPlainNumbersOnly(text));
    EXPECT_EQ(readPipelineFile(writePipelineFile({})).document, PipelineDocument{});
    for (const HeatLossSource source : {HeatLossSource::typed, HeatLossSource::overhead, HeatLossSource::nonWalkableTrench}) {
        PipelineDocument other = d;
        std::tie(other.segments[0].heatLossSource, other.pressureUnit, other.temperatureUnit) = std::tuple(source, "kgf/cm2", "℃");
        EXPECT_EQ(readPipelineFile(writePipelineFile(other)).document, other);
    }
}

TEST(PipelineFile, TheTemperatureLawIsKeptInVersion4OnlyWhereItIsNotWhatOlderFilesMean)
{
    const auto version = [](const PipelineDocument& d) {
        const std::string text = writePipelineFile(d);
        return text.substr(text.find("\"version\""), 14);
    };
    PipelineDocument d = everyKindOfValue();
    PipelineDocument insulated = d;
    insulated.constructions.push_back({.name = "主线保温"});
    EXPECT_EQ(std::tuple(version(d), version(insulated)), std::tuple("\"version\": 2,\n", "\"version\": 3,\n"));
    EXPECT_EQ(writePipelineFile(d).find("temperatureLaw"), std::string::npos);

    for (const auto& [law, dryness, written] : {std::tuple(TemperatureLaw::enthalpyBalance, 0.8, "\"enthalpyBalance\",\n  \"lowestDryness\": 0.8,"),
                                                std::tuple(TemperatureLaw::heatLoss, 0.75, "\"heatLoss\",\n  \"lowestDryness\": 0.75,"),
                                                std::tuple(TemperatureLaw::enthalpyBalance, 1.0, "\"enthalpyBalance\",\n  \"lowestDryness\": 1,")}) {
        PipelineDocument set = d;
        std::tie(set.temperatureLaw, set.lowestDryness) = std::tuple(law, dryness);
        const std::string text = writePipelineFile(set);
        EXPECT_EQ(version(set), "\"version\": 4,\n");
        EXPECT_NE(text.find("\"superheatMargin\": 7.5,\n  \"temperatureLaw\": " + std::string(written)), std::string::npos) << text;
        EXPECT_EQ(readPipelineFile(text).document, set);
    }
    d.temperatureLaw = TemperatureLaw::enthalpyBalance;
    const std::string good = writePipelineFile(d);
    const auto edited = [&good](const std::string& from, const std::string& to) {
        const std::size_t at = good.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        return at == std::string::npos ? good : std::string(good).replace(at, from.size(), to);
    };
    // Version 4 at the law and dryness of older files reads as they do, and is written as they are.
    const PipelineFileRead older = readPipelineFile(edited("\"enthalpyBalance\"", "\"heatLoss\""));
    EXPECT_EQ(std::pair(older.error, older.document), std::pair(std::string(), std::optional(everyKindOfValue())));
    EXPECT_EQ(writePipelineFile(*older.document), writePipelineFile(everyKindOfValue()));

    const struct { std::string text; std::string error; } refused[] = {
        {edited("\"enthalpyBalance\"", "\"energy\""), "字段 temperatureLaw 应为 heatLoss、enthalpyBalance 之一"},
        {edited("\"enthalpyBalance\"", "1"), "字段 temperatureLaw 应为文本"},
        {edited("\"lowestDryness\": 0.8", "\"lowestDryness\": 0"), "字段 lowestDryness 应大于 0 且不大于 1"},
        {edited("\"lowestDryness\": 0.8", "\"lowestDryness\": 1.01"), "字段 lowestDryness 应大于 0 且不大于 1"},
        {edited("\"lowestDryness\": 0.8", "\"lowestDryness\": -0.8"), "字段 lowestDryness 应大于 0 且不大于 1"},
        {edited("\"lowestDryness\": 0.8", "\"lowestDryness\": null"), "字段 lowestDryness 应为数值"},
        {edited("\"lowestDryness\": 0.8", "\"lowestDryness\": \"0.8\""), "字段 lowestDryness 应为数值或 null"},
        {edited("\"lowestDryness\": 0.8,", ""), "缺少字段 lowestDryness"},
        {edited("\"insulation\": {", "\"insulation\": 1, \"i\": {"), "字段 insulation 应为对象"},
    };
    for (const auto& f : refused) EXPECT_EQ(readPipelineFile(f.text).error, f.error);
}

TEST(PipelineFile, ANegativeZeroTypedIsWrittenAsTheZeroItIsReadAs)
{
    PipelineDocument d = everyKindOfValue();
    d.startPressure = d.segments[0].ambient = d.nodes[0].demand = -0.0;
    const std::string text = writePipelineFile(d);
    EXPECT_EQ(writePipelineFile(*readPipelineFile(text).document), text);
}

TEST(PipelineFile, TheLargestDocumentIsWrittenSoThatItIsReadAgain)
{
    // Every text as long as a file may hold it, of characters that JSON writes as six bytes, and
    // every number of the longest text the reader takes.
    const std::string text(kMostTextBytes, '\x01');
    const double longest = -1.2345678901234567e-9;
    PipelineDocument d{.project = text, .designer = text, .startPressure = longest, .startTemperature = -kLargestNumber,
                       .superheatMargin = longest};
    const std::string name(kMostNodeNameBytes, '\x02'), cell(kMostCellTextBytes, '\x03');
    PipelineSegment segment{.label = text, .from = name, .to = name};
    for (const NumberInput& input : kNumberInputs) segment.notNumbers[std::string(input.key)] = cell;
    d.segments.assign(kMostSegments, segment);
    d.segments[0] = {.label = text, .outerDiameter = longest, .wall = longest, .length = longest, .flow = longest,
                     .zeta = longest, .beta = longest, .phi = longest, .ambient = longest, .dropPerKm = longest,
                     .heatLoss = longest};
    for (std::size_t n = 0; n < kMostNodes; ++n)
        d.nodes.push_back({.name = name.substr(0, name.size() - 4) + std::to_string(1000 + n),
                           .notNumbers = {{"demand", cell}, {"requiredPressure", cell}, {"requiredTemperature", cell}}});
    const std::string file = writePipelineFile(d);
    EXPECT_LE(file.size(), kMostFileBytes);
    const PipelineFileRead read = readPipelineFile(file);
    EXPECT_TRUE(read.error.empty() && read.document == d) << read.error;
}

TEST(PipelineFile, RefusesWhatIsNoPipelineNamingTheField)
{
    const std::string good = writePipelineFile(everyKindOfValue());
    const auto edited = [&good](const std::string& from, const std::string& to) {
        const std::size_t at = good.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        return at == std::string::npos ? good : std::string(good).replace(at, from.size(), to);
    };
    std::string manySegments = R"({"format": "dorvent-pipeline", "version": 1, "segments": [)";
    for (int i = 0; i <= 1000; ++i) manySegments += "{},";
    const struct { std::string text; std::string error; } files[] = {
        {"", "文件不是有效的 JSON 文档（第 1 行）"},
        {good.substr(0, 200), "文件不是有效的 JSON 文档（第 9 行）"},
        {"[1, 2]", "文件内容应为一个 JSON 对象"},
        {edited("dorvent-pipeline", "other"), "字段 format 应为 \"dorvent-pipeline\"：这不是 Dorvent 管线文件"},
        {edited("\"version\": 2", "\"version\": 7"), "字段 version：本程序只能读取版本 1、2、3、4、5 和 6 的管线文件"},
        {edited("\"version\": 2", "\"version\": 5.5"), "字段 version：本程序只能读取版本 1、2、3、4、5 和 6 的管线文件"},
        {edited("\"version\": 2", "\"version\": 0"), "字段 version：本程序只能读取版本 1、2、3、4、5 和 6 的管线文件"},
        {edited("\"version\": 2", "\"version\": 3"), "缺少字段 insulation"},
        {edited("\"designer\"", "\"designed\""), "缺少字段 designer"},
        {edited("\"length\": 100000", "\"length\": true"), "字段 segments[1].length 应为数值、文本或 null"},
        {edited("\"length\": 100000", "\"length\": 1e400"), "字段 segments[1].length 的数值超出范围"},
        {edited("\"dn\": 200", "\"dn\": 210"), "字段 segments[0].pipe.dn 不是管道目录中的公称直径"},
        {edited("\"source\": \"walkableTrench\"", "\"source\": \"buried\""),
         "字段 segments[0].heatLoss.source 应为 typed、overhead、nonWalkableTrench、walkableTrench 之一"},
        {edited("\"pressureUnit\": \"kPa\"", "\"pressureUnit\": \"bar\""),
         "字段 start.pressureUnit 应为 MPa、kPa、kgf/cm2 之一"},
        {edited("\"superheatMargin\": 7.5", "\"superheatMargin\": null"), "字段 superheatMargin 应为数值"},
        {edited("\"label\": \"A-B\"", "\"label\": \"" + std::string(601, 'A') + "\""), "字段 segments[0].label 过长"},
        {edited("\"label\": \"A-B\"", "\"label\": [[[[[[[[[1]]]]]]]]]"), "文件的层次过深，不是 Dorvent 管线文件"},
        {edited("\"segments\": [", "\"segments\": [7, "), "字段 segments[0] 应为对象"},
        {manySegments.substr(0, manySegments.size() - 1) + "]}", "字段 segments 有 1001 个管段，多于 1000 个"},
        {std::string(kMostFileBytes + 1, ' '), "文件过大：管线文件不超过 16 MB"},
        // Numbers beyond any meaning, large or small, and the element of an array named by its own index.
        {edited("\"length\": 100000", "\"length\": 1000000001"), "字段 segments[1].length 的数值超出范围"},
        {edited("\"wall\": 0.00001", "\"wall\": -1e-10"), "字段 segments[1].pipe.wall 的数值超出范围"},
        {edited("\"segments\": [", "\"segments\": [{}, 1e400, "), "字段 segments[1] 的数值超出范围"},
        // Eight levels are the most; a deeper file is refused for that, whatever it holds below.
        {edited("\"designer\"", "\"x\": [[[[[[[[1]]]]]]]], \"designer\""), "文件的层次过深，不是 Dorvent 管线文件"},
        {edited("\"designer\"", "\"x\": [[[[[[[[1e400]]]]]]]], \"designer\""), "文件的层次过深，不是 Dorvent 管线文件"},
        {edited("\"length\": 100000", "\"length\": 1, \"length\": 100000"), "字段 segments[1].length 重复出现"},
        // Read whole or not at all: nothing after a zero byte is ignored.
        {good + std::string(1, '\0') + "\x93garbage",
         "文件不是有效的 JSON 文档（第 " + std::to_string(1 + std::count(good.begin(), good.end(), '\n')) + " 行）"},
        {std::string("\xFF\xFE{\0\n\0", 6), "文件不是 UTF-8 编码：管线文件应为 UTF-8 文本（此文件似为 UTF-16）"},
        {std::string("{\0\"\0", 4), "文件不是 UTF-8 编码：管线文件应为 UTF-8 文本（此文件似为 UTF-16）"},
        {std::string("\xFE\xFF\0{\0\n", 6), "文件不是 UTF-8 编码：管线文件应为 UTF-8 文本（此文件似为 UTF-16）"},
        {edited("\"length\": 100000", "\"length\": 9.99e-10"), "字段 segments[1].length 的数值超出范围"},
        // A value of the wrong kind, in every field: numbers, texts, objects and the array.
        {edited("\"pressure\": 1000", "\"pressure\": \"1000\""), "字段 start.pressure 应为数值或 null"},
        {edited("\"temperature\": 523.15", "\"temperature\": true"), "字段 start.temperature 应为数值或 null"},
        {edited("\"superheatMargin\": 7.5", "\"superheatMargin\": [7.5]"), "字段 superheatMargin 应为数值或 null"},
        {edited("\"dn\": 200", "\"dn\": {}"), "字段 segments[0].pipe.dn 应为数值或 null"},
        {edited("\"outerDiameter\": 273", "\"outerDiameter\": [273]"), "字段 segments[0].pipe.outerDiameter 应为数值、文本或 null"},
        {edited("\"wall\": 7", "\"wall\": false"), "字段 segments[0].pipe.wall 应为数值、文本或 null"},
        {edited("\"flow\": 10", "\"flow\": {}"), "字段 segments[0].flow 应为数值、文本或 null"},
        {edited("\"zeta\": 0.25", "\"zeta\": [0.25]"), "字段 segments[0].zeta 应为数值、文本或 null"},
        {edited("\"beta\": 0.15", "\"beta\": {}"), "字段 segments[0].beta 应为数值、文本或 null"},
        {edited("\"phi\": 0.9", "\"phi\": false"), "字段 segments[0].phi 应为数值、文本或 null"},
        {edited("\"ambient\": -5", "\"ambient\": true"), "字段 segments[0].ambient 应为数值、文本或 null"},
        {edited("\"dropPerKm\": 4.5", "\"dropPerKm\": [4.5]"), "字段 segments[0].dropPerKm 应为数值、文本或 null"},
        {edited("\"value\": 0.1", "\"value\": [0.1]"), "字段 segments[0].heatLoss.value 应为数值、文本或 null"},
        {edited("\"version\": 2", "\"version\": \"2\""), "字段 version 应为数值或 null"},
        {edited("\"project\": \"", "\"project\": 7, \"p\": \""), "字段 project 应为文本"},
        {edited("\"designer\": \"张工\"", "\"designer\": null"), "字段 designer 应为文本"},
        {edited("\"label\": \"A-B\"", "\"label\": [\"A-B\"]"), "字段 segments[0].label 应为文本"},
        {edited("\"pressureUnit\": \"kPa\"", "\"pressureUnit\": 1"), "字段 start.pressureUnit 应为文本"},
        {edited("\"temperatureUnit\": \"K\"", "\"temperatureUnit\": {}"), "字段 start.temperatureUnit 应为文本"},
        {edited("\"source\": \"walkableTrench\"", "\"source\": 3"), "字段 segments[0].heatLoss.source 应为文本"},
        {edited("\"format\": \"dorvent-pipeline\"", "\"format\": [\"dorvent-pipeline\"]"), "字段 format 应为文本"},
        {edited("\"start\": {", "\"start\": [], \"s\": {"), "字段 start 应为对象"},
        {edited("\"pipe\": {", "\"pipe\": \"DN200\", \"p\": {"), "字段 segments[0].pipe 应为对象"},
        {edited("\"heatLoss\": {", "\"heatLoss\": 0.1, \"h\": {"), "字段 segments[0].heatLoss 应为对象"},
        {edited("\"segments\": [", "\"segments\": {\"a\": 1}, \"s\": ["), "字段 segments 应为数组"},
    };
    for (const auto& f : files) {
        const PipelineFileRead read = readPipelineFile(f.text);
        EXPECT_EQ(read.error, f.error);
        EXPECT_FALSE(read.document.has_value()) << f.error;
    }

    EXPECT_EQ(readPipelineFile(edited("\"designer\"", "\"x\": [[[[[[[1]]]]]]], \"designer\"")).error, "");
    EXPECT_EQ(readPipelineFile(edited("\"length\": 100000", "\"length\": -1e9")).document->segments[1].length, -1e9);
    EXPECT_EQ(readPipelineFile(edited("\"length\": 100000", "\"length\": 1e-9")).document->segments[1].length, 1e-9);
}

}  // namespace
}  // namespace dorvent
