#include "pipeline/pipelinefile.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <set>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

#include "insulation/jackets.h"
#include "insulation/materials.h"
#include "numtext/formatnumber.h"
#include "pipeline/loadcases.h"
#include "pipes/guanjing.h"

namespace dorvent {
namespace {

using Json = nlohmann::json;

constexpr std::array<std::string_view, 3> kPressureUnits = {"MPa", "kPa", "kgf/cm2"};
constexpr std::array<std::string_view, 2> kTemperatureUnits = {"℃", "K"};
/// Heat-loss sources in the order of HeatLossSource; an insulated pipe from version 3 on.
constexpr std::array<std::string_view, 5> kHeatLossSources = {"typed", "overhead", "nonWalkableTrench",
                                                              "walkableTrench", "insulated"};
constexpr std::array<std::string_view, 4> kUninsulatedSources = {"typed", "overhead", "nonWalkableTrench", "walkableTrench"};
constexpr std::array<std::string_view, 2> kOperations = {"yearRound", "seasonal"};
/// Temperature laws in the order of TemperatureLaw; from version 4 on.
constexpr std::array<std::string_view, 2> kTemperatureLaws = {"heatLoss", "enthalpyBalance"};
constexpr std::array<std::string_view, 3> kSourceKinds = {"none", "pressure", "flow"};
constexpr int kDeepestNesting = 8;  // the format itself needs four levels

// ---- writing -------------------------------------------------------------------------------

std::string quoted(const std::string& text)
{
    return Json(text).dump(-1, ' ', false, Json::error_handler_t::replace);
}

/// A typed "-0" is written as 0, as it is read: a file read and written again stays as it was.
std::string number(const std::optional<double>& value) { return value ? formatShortest(*value == 0 ? 0.0 : *value) : "null"; }

/// Writes "key": value pairs, one per line, at one indentation.
class ObjectWriter {
public:
    ObjectWriter(std::string& out, int indent) : out_(out), indent_(indent) { out_ += "{"; }
    ObjectWriter& field(std::string_view key, const std::string& valueText)
    {
        out_ += first_ ? "\n" : ",\n";
        first_ = false;
        out_.append(static_cast<std::size_t>(indent_ + 2), ' ');
        out_ += quoted(std::string(key)) + ": " + valueText;
        return *this;
    }
    void close()
    {
        out_ += "\n";
        out_.append(static_cast<std::size_t>(indent_), ' ');
        out_ += "}";
    }

private:
    std::string& out_;
    int indent_;
    bool first_ = true;
};

/// A number input: its number, null, or the text typed in its place.
std::string input(const std::optional<double>& value, const std::map<std::string, std::string>& kept, std::string_view key)
{
    const auto text = kept.find(std::string(key));
    return text != kept.end() ? quoted(text->second) : number(value);
}

std::string input(const PipelineSegment& s, std::string_view key)
{
    for (const NumberInput& input : kNumberInputs) {
        if (input.key == key) return dorvent::input(s.*input.value, s.notNumbers, key);
    }
    return "null";
}

std::string nodeText(const NetworkNode& n, bool sources)
{
    std::string text;
    ObjectWriter written(text, 4);
    written.field("name", quoted(n.name))
        .field("demand", input(n.demand, n.notNumbers, "demand"))
        .field("requiredPressure", input(n.requiredPressure, n.notNumbers, "requiredPressure"))
        .field("requiredTemperature", input(n.requiredTemperature, n.notNumbers, "requiredTemperature"));
    if (sources) {
        written.field("source", quoted(std::string(kSourceKinds[static_cast<std::size_t>(n.source)])))
            .field("sourcePressure", input(n.sourcePressure, n.notNumbers, "sourcePressure"))
            .field("sourceTemperature", input(n.sourceTemperature, n.notNumbers, "sourceTemperature"))
            .field("sourceFlow", input(n.sourceFlow, n.notNumbers, "sourceFlow"))
            .field("x", number(n.x))
            .field("y", number(n.y));
    }
    written.close();
    return text;
}

/// A case's own demands: by consumer, a number or the text typed in its place.
std::string demandsText(const LoadCase& c)
{
    std::map<std::string, std::string> values;
    for (const auto& [node, demand] : c.demands) values[node] = number(demand);
    for (const auto& [node, text] : c.demandTexts) values[node] = quoted(text);
    if (values.empty()) return "{}";
    std::string text;
    ObjectWriter written(text, 6);
    for (const auto& [node, value] : values) written.field(node, value);
    written.close();
    return text;
}

std::string caseText(const LoadCase& c)
{
    std::string text;
    ObjectWriter(text, 4)
        .field("name", quoted(c.name))
        .field("pressure", input(c.startPressure, c.notNumbers, "startPressure"))
        .field("temperature", input(c.startTemperature, c.notNumbers, "startTemperature"))
        .field("factor", input(c.factor, c.notNumbers, "factor"))
        .field("demands", demandsText(c))
        .close();
    return text;
}

/// The elements' texts as a JSON array at the second level.
std::string arrayOf(const std::vector<std::string>& elements)
{
    std::string text = "[";
    for (std::size_t i = 0; i < elements.size(); ++i) text += (i == 0 ? "\n    " : ",\n    ") + elements[i];
    return text + (elements.empty() ? "]" : "\n  ]");
}

std::string segmentText(const PipelineSegment& s, bool insulation)
{
    std::string pipe;
    ObjectWriter(pipe, 6)
        .field("dn", s.dn == 0 ? "null" : std::to_string(s.dn))
        .field("outerDiameter", input(s, "outerDiameter"))
        .field("wall", input(s, "wall"))
        .field("fixed", s.fixed ? "true" : "false")
        .close();
    std::string heatLoss;
    ObjectWriter written(heatLoss, 6);
    written.field("source", quoted(std::string(kHeatLossSources[static_cast<std::size_t>(s.heatLossSource)])))
        .field("value", input(s, "heatLoss"));
    if (insulation) written.field("construction", quoted(s.construction));
    written.close();
    std::string text;
    ObjectWriter(text, 4)
        .field("label", quoted(s.label))
        .field("from", quoted(s.from))
        .field("to", quoted(s.to))
        .field("pipe", pipe)
        .field("length", input(s, "length"))
        .field("flow", input(s, "flow"))
        .field("zeta", input(s, "zeta"))
        .field("beta", input(s, "beta"))
        .field("phi", input(s, "phi"))
        .field("ambient", input(s, "ambient"))
        .field("dropPerKm", input(s, "dropPerKm"))
        .field("heatLoss", heatLoss)
        .close();
    return text;
}

std::string layerText(const InsulationLayer& layer)
{
    std::string text;
    ObjectWriter(text, 6).field("material", quoted(layer.material)).field("thickness", number(layer.thickness)).close();
    return text;
}

std::string constructionText(const InsulationConstruction& c)
{
    std::string text;
    ObjectWriter(text, 4)
        .field("name", quoted(c.name))
        .field("inner", layerText(c.inner))
        .field("outer", layerText(c.outer))
        .field("jacket", quoted(c.jacket))
        .field("emissivity", number(c.emissivity))
        .field("wind", number(c.wind))
        .close();
    return text;
}

std::string ownMaterialText(const OwnMaterial& m)
{
    std::string text;
    ObjectWriter(text, 4)
        .field("name", quoted(m.name))
        .field("a", number(m.a))
        .field("b", number(m.b))
        .field("c", number(m.c))
        .field("useUpTo", number(m.useUpTo))
        .close();
    return text;
}

std::string insulationSettingsText(const InsulationSettings& s)
{
    std::string prices;
    ObjectWriter(prices, 4)
        .field("heat", number(s.heatPrice))
        .field("hours", number(s.hours))
        .field("insulation", number(s.insulationPrice))
        .field("jacket", number(s.jacketPrice))
        .field("years", number(s.years))
        .field("interest", number(s.interest))
        .close();
    std::string text;
    ObjectWriter(text, 2)
        .field("surfaceLimit", number(s.surfaceLimit))
        .field("operation", quoted(std::string(kOperations[s.seasonal ? 1 : 0])))
        .field("prices", prices)
        .close();
    return text;
}

// ---- reading -------------------------------------------------------------------------------

/// Where the parser is in the text, as a field path, for a number it cannot hold; and the first
/// structural problem: nesting beyond the format's levels, or a key given twice in one object.
class PathTracker {
public:
    bool onEvent(int depth, Json::parse_event_t event, const Json& parsed)
    {
        using E = Json::parse_event_t;
        if (event == E::key) {
            Frame& frame = frames_.back();
            frame.key = parsed.get<std::string>();
            if (!frame.keys.insert(frame.key).second && problem_.empty()) problem_ = "字段 " + path() + " 重复出现";
        } else if (event == E::object_start || event == E::array_start) {
            // A container that starts at depth d is the (d + 1)th level.
            if (depth >= kDeepestNesting && problem_.empty()) problem_ = "文件的层次过深，不是 Dorvent 管线文件";
            countElement();
            frames_.push_back({event == E::array_start, -1, {}, {}});
        } else if (event == E::object_end || event == E::array_end) {
            if (!frames_.empty()) frames_.pop_back();
        } else {
            countElement();
        }
        return problem_.empty();  // keeps nothing once the file is refused
    }

    /// The path of the value being read: in an array, the element after the last one counted.
    std::string path() const
    {
        std::string text;
        for (std::size_t i = 0; i < frames_.size(); ++i) {
            const Frame& frame = frames_[i];
            if (frame.array) {
                const bool pending = i + 1 == frames_.size();
                text += "[" + std::to_string(frame.index + (pending ? 1 : 0)) + "]";
            } else if (!frame.key.empty()) {
                text += (text.empty() ? "" : ".") + frame.key;
            }
        }
        return text;
    }

    /// Why the file is refused for its structure; empty when it is not.
    const std::string& problem() const { return problem_; }

private:
    struct Frame {
        bool array;
        int index;
        std::string key;
        std::set<std::string> keys;
    };
    void countElement()
    {
        if (!frames_.empty() && frames_.back().array) ++frames_.back().index;
    }

    std::vector<Frame> frames_;
    std::string problem_;
};

/// Reads the known shape out of a parsed document, stopping at the first problem.
class Reader {
public:
    std::optional<PipelineDocument> document(const Json& root);
    std::string error;

private:
    bool fail(const std::string& message)
    {
        if (error.empty()) error = message;
        return false;
    }
    const Json* member(const Json& object, const std::string& path, std::string_view key);
    const Json* object(const Json& object, const std::string& path, std::string_view key);
    bool number(const Json& object, const std::string& path, std::string_view key, std::optional<double>& out);
    bool input(const Json& object, const std::string& path, std::string_view key, std::optional<double>& out,
               std::map<std::string, std::string>& kept, std::string_view keptKey);
    bool input(const Json& object, const std::string& path, std::string_view key, PipelineSegment& s,
               std::string_view inputKey);
    bool nodeName(const Json& object, const std::string& path, std::string_view key, std::string& out);
    bool node(const Json& json, const std::string& path, NetworkNode& n);
    bool nodes(const Json& root, PipelineDocument& d);
    bool cases(const Json& root, PipelineDocument& d);
    bool loadCase(const Json& json, const std::string& path, LoadCase& c);
    int version_ = kPipelineVersion;
    bool text(const Json& object, const std::string& path, std::string_view key, std::string& out);
    template <std::size_t N>
    bool choice(const Json& object, const std::string& path, std::string_view key,
                const std::array<std::string_view, N>& choices, std::size_t& out);
    bool header(const Json& root, PipelineDocument& d);
    bool temperatureLaw(const Json& root, PipelineDocument& d);
    bool segment(const Json& json, const std::string& path, PipelineSegment& s);
    bool insulationParts(const Json& root, PipelineDocument& d);
    bool settings(const Json& json, InsulationSettings& s);
    bool ownMaterial(const Json& json, const std::string& path, OwnMaterial& m);
    bool construction(const Json& json, const std::string& path, const PipelineDocument& d, InsulationConstruction& c);
    bool layer(const Json& json, const std::string& path, const PipelineDocument& d, InsulationLayer& l);
    bool bounded(const Json& object, const std::string& path, std::string_view key, std::optional<double>& out,
                 double low, bool lowIncluded, double high, const std::string& range);
    const Json* array(const Json& root, std::string_view key, std::size_t most, std::string_view what);
};

std::string fieldOf(const std::string& path, std::string_view key)
{
    return path.empty() ? std::string(key) : path + "." + std::string(key);
}

const Json* Reader::member(const Json& object, const std::string& path, std::string_view key)
{
    const auto it = object.find(key);
    if (it == object.end()) {
        fail("缺少字段 " + fieldOf(path, key));
        return nullptr;
    }
    return &*it;
}

const Json* Reader::object(const Json& parent, const std::string& path, std::string_view key)
{
    const Json* value = member(parent, path, key);
    if (value != nullptr && !value->is_object()) {
        fail("字段 " + fieldOf(path, key) + " 应为对象");
        return nullptr;
    }
    return value;
}

bool Reader::number(const Json& object, const std::string& path, std::string_view key, std::optional<double>& out)
{
    const Json* value = member(object, path, key);
    if (value == nullptr) return false;
    if (value->is_null()) {
        out.reset();
        return true;
    }
    if (!value->is_number()) return fail("字段 " + fieldOf(path, key) + " 应为数值或 null");
    const double number = value->get<double>();
    if (!isDocumentNumber(number)) return fail("字段 " + fieldOf(path, key) + " 的数值超出范围");
    out = number;
    return true;
}

/// A number input, which may hold the text typed in place of a number.
bool Reader::input(const Json& object, const std::string& path, std::string_view key, std::optional<double>& out,
                   std::map<std::string, std::string>& kept, std::string_view keptKey)
{
    const Json* value = member(object, path, key);
    if (value == nullptr) return false;
    if (!value->is_string() && !value->is_number() && !value->is_null()) {
        return fail("字段 " + fieldOf(path, key) + " 应为数值、文本或 null");
    }
    if (!value->is_string()) return number(object, path, key, out);
    std::string typed;
    if (!text(object, path, key, typed)) return false;
    if (typed.size() > kMostCellTextBytes) return fail("字段 " + fieldOf(path, key) + " 过长");
    out = readCellNumber(typed);  // a number written as a text is a number
    if (!out) kept[std::string(keptKey)] = typed;
    return true;
}

bool Reader::input(const Json& object, const std::string& path, std::string_view key, PipelineSegment& s,
                   std::string_view inputKey)
{
    for (const NumberInput& field : kNumberInputs) {
        if (field.key == inputKey) return input(object, path, key, s.*field.value, s.notNumbers, inputKey);
    }
    return false;
}

bool Reader::nodeName(const Json& object, const std::string& path, std::string_view key, std::string& out)
{
    if (!text(object, path, key, out)) return false;
    if (out.size() > kMostNodeNameBytes) return fail("字段 " + fieldOf(path, key) + " 过长");
    return true;
}

bool Reader::node(const Json& json, const std::string& path, NetworkNode& n)
{
    if (!json.is_object()) return fail("字段 " + path + " 应为对象");
    if (!nodeName(json, path, "name", n.name)) return false;
    if (n.name.empty()) return fail("字段 " + path + ".name 不应为空");
    if (!input(json, path, "demand", n.demand, n.notNumbers, "demand") ||
        !input(json, path, "requiredPressure", n.requiredPressure, n.notNumbers, "requiredPressure") ||
        !input(json, path, "requiredTemperature", n.requiredTemperature, n.notNumbers, "requiredTemperature")) {
        return false;
    }
    if (version_ < 6) return true;
    std::size_t kind = 0;
    if (!choice(json, path, "source", kSourceKinds, kind) ||
        !input(json, path, "sourcePressure", n.sourcePressure, n.notNumbers, "sourcePressure") ||
        !input(json, path, "sourceTemperature", n.sourceTemperature, n.notNumbers, "sourceTemperature") ||
        !input(json, path, "sourceFlow", n.sourceFlow, n.notNumbers, "sourceFlow") || !number(json, path, "x", n.x) ||
        !number(json, path, "y", n.y)) {
        return false;
    }
    if (n.x.has_value() != n.y.has_value()) return fail("字段 " + path + " 的 x 与 y 应同时给出或同时为 null");
    n.source = static_cast<SourceKind>(kind);
    return true;
}

bool Reader::text(const Json& object, const std::string& path, std::string_view key, std::string& out)
{
    const Json* value = member(object, path, key);
    if (value == nullptr) return false;
    if (!value->is_string()) return fail("字段 " + fieldOf(path, key) + " 应为文本");
    out = value->get<std::string>();
    if (out.size() > kMostTextBytes) return fail("字段 " + fieldOf(path, key) + " 过长");
    return true;
}

template <std::size_t N>
bool Reader::choice(const Json& object, const std::string& path, std::string_view key,
                    const std::array<std::string_view, N>& choices, std::size_t& out)
{
    std::string value;
    if (!text(object, path, key, value)) return false;
    const auto it = std::find(choices.begin(), choices.end(), value);
    if (it == choices.end()) {
        std::string allowed;
        for (const std::string_view c : choices) allowed += (allowed.empty() ? "" : "、") + std::string(c);
        return fail("字段 " + fieldOf(path, key) + " 应为 " + allowed + " 之一");
    }
    out = static_cast<std::size_t>(it - choices.begin());
    return true;
}

bool Reader::header(const Json& root, PipelineDocument& d)
{
    std::optional<double> margin;
    std::size_t pressureUnit = 0;
    std::size_t temperatureUnit = 0;
    const Json* start = nullptr;
    const bool read = text(root, "", "project", d.project) && text(root, "", "designer", d.designer) &&
                      (start = object(root, "", "start")) != nullptr &&
                      number(*start, "start", "pressure", d.startPressure) &&
                      choice(*start, "start", "pressureUnit", kPressureUnits, pressureUnit) &&
                      number(*start, "start", "temperature", d.startTemperature) &&
                      choice(*start, "start", "temperatureUnit", kTemperatureUnits, temperatureUnit) &&
                      number(root, "", "superheatMargin", margin);
    if (!read) return false;
    if (!margin) return fail("字段 superheatMargin 应为数值");
    d.superheatMargin = *margin;
    d.pressureUnit = kPressureUnits[pressureUnit];
    d.temperatureUnit = kTemperatureUnits[temperatureUnit];
    return true;
}

bool Reader::temperatureLaw(const Json& root, PipelineDocument& d)
{
    std::size_t law = 0;
    std::optional<double> dryness;
    if (!choice(root, "", "temperatureLaw", kTemperatureLaws, law) || !number(root, "", "lowestDryness", dryness)) return false;
    if (!dryness) return fail("字段 lowestDryness 应为数值");
    if (!(*dryness > 0 && *dryness <= 1)) return fail("字段 lowestDryness 应大于 0 且不大于 1");
    d.temperatureLaw = static_cast<TemperatureLaw>(law);
    d.lowestDryness = *dryness;
    return true;
}

bool Reader::segment(const Json& json, const std::string& path, PipelineSegment& s)
{
    if (!json.is_object()) return fail("字段 " + path + " 应为对象");
    const Json* pipe = object(json, path, "pipe");
    const Json* heatLoss = object(json, path, "heatLoss");
    std::optional<double> dn;
    std::size_t source = 0;
    const std::string pipePath = path + ".pipe";
    const std::string heatLossPath = path + ".heatLoss";
    const bool ends = version_ < 2 || (nodeName(json, path, "from", s.from) && nodeName(json, path, "to", s.to));
    const bool read =
        text(json, path, "label", s.label) && ends && pipe != nullptr && number(*pipe, pipePath, "dn", dn) &&
        input(*pipe, pipePath, "outerDiameter", s, "outerDiameter") && input(*pipe, pipePath, "wall", s, "wall") &&
        input(json, path, "length", s, "length") && input(json, path, "flow", s, "flow") &&
        input(json, path, "zeta", s, "zeta") && input(json, path, "beta", s, "beta") &&
        input(json, path, "phi", s, "phi") && input(json, path, "ambient", s, "ambient") &&
        input(json, path, "dropPerKm", s, "dropPerKm") && heatLoss != nullptr &&
        (version_ < 3 ? choice(*heatLoss, heatLossPath, "source", kUninsulatedSources, source)
                      : choice(*heatLoss, heatLossPath, "source", kHeatLossSources, source)) &&
        input(*heatLoss, heatLossPath, "value", s, "heatLoss") &&
        (version_ < 3 || text(*heatLoss, heatLossPath, "construction", s.construction));
    if (!read) return false;
    // Written since automatic sizing came; a file from before has none and sizes every pipe.
    if (const auto fixed = pipe->find("fixed"); fixed != pipe->end()) {
        if (!fixed->is_boolean()) return fail("字段 " + pipePath + ".fixed 应为 true 或 false");
        s.fixed = fixed->get<bool>();
    }
    s.heatLossSource = static_cast<HeatLossSource>(source);
    if (s.heatLossSource == HeatLossSource::insulated && s.construction.empty()) {
        return fail("字段 " + heatLossPath + ".construction 应为保温做法的名称");
    }
    if (s.heatLossSource != HeatLossSource::insulated && !s.construction.empty()) {
        return fail("字段 " + heatLossPath + ".construction 应为空：该管段不按保温做法计算热损失");
    }
    if (dn) {
        if (findCatalogueRow(*dn) == nullptr) return fail("字段 " + pipePath + ".dn 不是管道目录中的公称直径");
        s.dn = static_cast<int>(*dn);
    }
    return true;
}

std::optional<PipelineDocument> Reader::document(const Json& root)
{
    if (!root.is_object()) {
        fail("文件内容应为一个 JSON 对象");
        return std::nullopt;
    }
    std::string format;
    if (!text(root, "", "format", format)) return std::nullopt;
    if (format != kPipelineFormat) {
        fail("字段 format 应为 \"" + std::string(kPipelineFormat) + "\"：这不是 Dorvent 管线文件");
        return std::nullopt;
    }
    std::optional<double> version;
    if (!number(root, "", "version", version)) return std::nullopt;
    if (!version || *version != std::floor(*version) || *version < kOldestPipelineVersion || *version > kPipelineVersion) {
        fail("字段 version：本程序只能读取版本 1、2、3、4、5 和 6 的管线文件");
        return std::nullopt;
    }
    version_ = static_cast<int>(*version);

    const Json* segments = member(root, "", "segments");
    if (segments == nullptr) return std::nullopt;
    if (!segments->is_array()) {
        fail("字段 segments 应为数组");
        return std::nullopt;
    }
    if (segments->size() > kMostSegments) {
        fail("字段 segments 有 " + std::to_string(segments->size()) + " 个管段，多于 " +
             std::to_string(kMostSegments) + " 个");
        return std::nullopt;
    }
    PipelineDocument d;
    if (!header(root, d)) return std::nullopt;
    if (version_ >= 4 && !temperatureLaw(root, d)) return std::nullopt;
    if (version_ >= 3 && !insulationParts(root, d)) return std::nullopt;  // before the pipes that name them
    d.segments.resize(segments->size());
    for (std::size_t i = 0; i < segments->size(); ++i) {
        const std::string path = "segments[" + std::to_string(i) + "]";
        if (!segment((*segments)[i], path, d.segments[i])) return std::nullopt;
        const std::string& named = d.segments[i].construction;
        if (!named.empty() && findConstruction(d, named) == nullptr) {
            fail("字段 " + path + ".heatLoss.construction：没有名为“" + named + "”的保温做法");
            return std::nullopt;
        }
    }
    if (version_ >= 2 && !nodes(root, d)) return std::nullopt;
    if (version_ >= 5 && !cases(root, d)) return std::nullopt;
    return d;
}

bool Reader::cases(const Json& root, PipelineDocument& d)
{
    if (!nodeName(root, "", "designCase", d.designCase)) return false;
    if (d.designCase.empty()) return fail("字段 designCase 不应为空");
    const Json* list = array(root, "cases", kMostCases - 1, "工况");
    if (list == nullptr) return false;
    d.cases.resize(list->size());
    std::set<std::string> names = {d.designCase};
    for (std::size_t i = 0; i < list->size(); ++i) {
        const std::string path = "cases[" + std::to_string(i) + "]";
        if (!loadCase((*list)[i], path, d.cases[i])) return false;
        if (!names.insert(d.cases[i].name).second) return fail("字段 " + path + ".name 重复：工况“" + d.cases[i].name + "”");
    }
    return true;
}

bool Reader::loadCase(const Json& json, const std::string& path, LoadCase& c)
{
    if (!json.is_object()) return fail("字段 " + path + " 应为对象");
    if (!nodeName(json, path, "name", c.name)) return false;
    if (c.name.empty()) return fail("字段 " + path + ".name 不应为空");
    if (!input(json, path, "pressure", c.startPressure, c.notNumbers, "startPressure") ||
        !input(json, path, "temperature", c.startTemperature, c.notNumbers, "startTemperature") ||
        !input(json, path, "factor", c.factor, c.notNumbers, "factor")) {
        return false;
    }
    const Json* demands = object(json, path, "demands");
    if (demands == nullptr) return false;
    if (demands->size() > kMostNodes) return fail("字段 " + path + ".demands 多于 " + std::to_string(kMostNodes) + " 个节点");
    const std::string demandsPath = path + ".demands";
    for (const auto& [node, value] : demands->items()) {
        if (node.empty() || node.size() > kMostNodeNameBytes) return fail("字段 " + demandsPath + " 的节点名为空或过长");
        std::optional<double> demand;
        std::map<std::string, std::string> kept;
        if (!input(*demands, demandsPath, node, demand, kept, "demand")) return false;
        if (demand) c.demands[node] = *demand;
        else if (!kept.empty()) c.demandTexts[node] = kept.begin()->second;
    }
    return true;
}

bool Reader::nodes(const Json& root, PipelineDocument& d)
{
    const Json* nodes = member(root, "", "nodes");
    if (nodes == nullptr) return false;
    if (!nodes->is_array()) return fail("字段 nodes 应为数组");
    if (nodes->size() > kMostNodes) {
        return fail("字段 nodes 有 " + std::to_string(nodes->size()) + " 个节点，多于 " + std::to_string(kMostNodes) + " 个");
    }
    d.nodes.resize(nodes->size());
    std::set<std::string> names;
    for (std::size_t i = 0; i < nodes->size(); ++i) {
        const std::string path = "nodes[" + std::to_string(i) + "]";
        if (!node((*nodes)[i], path, d.nodes[i])) return false;
        if (!names.insert(d.nodes[i].name).second) return fail("字段 " + path + ".name 重复：节点“" + d.nodes[i].name + "”");
    }
    return true;
}

const Json* Reader::array(const Json& root, std::string_view key, std::size_t most, std::string_view what)
{
    const Json* list = member(root, "", key);
    if (list == nullptr) return nullptr;
    if (!list->is_array()) {
        fail("字段 " + std::string(key) + " 应为数组");
        return nullptr;
    }
    if (list->size() > most) {
        fail("字段 " + std::string(key) + " 有 " + std::to_string(list->size()) + " 个" + std::string(what) + "，多于 " +
             std::to_string(most) + " 个");
        return nullptr;
    }
    return list;
}

/// A number or null; a number within its range, said in words when it is not: "应大于 0 且不大于 1000".
bool Reader::bounded(const Json& object, const std::string& path, std::string_view key, std::optional<double>& out,
                     double low, bool lowIncluded, double high, const std::string& range)
{
    if (!number(object, path, key, out)) return false;
    if (out && (*out < low || (!lowIncluded && *out == low) || *out > high)) return fail("字段 " + fieldOf(path, key) + " " + range);
    return true;
}

bool Reader::insulationParts(const Json& root, PipelineDocument& d)
{
    const Json* settingsJson = object(root, "", "insulation");
    if (settingsJson == nullptr || !settings(*settingsJson, d.insulation)) return false;
    const Json* materials = array(root, "ownMaterials", kMostConstructions, "自定义材料");
    if (materials == nullptr) return false;
    d.ownMaterials.resize(materials->size());
    for (std::size_t i = 0; i < materials->size(); ++i) {
        const std::string path = "ownMaterials[" + std::to_string(i) + "]";
        if (!ownMaterial((*materials)[i], path, d.ownMaterials[i])) return false;
        const std::string& name = d.ownMaterials[i].name;
        if (insulation::findMaterial(name) || std::count_if(d.ownMaterials.begin(), d.ownMaterials.begin() + static_cast<std::ptrdiff_t>(i),
                                                            [&name](const OwnMaterial& m) { return m.name == name; }) != 0) {
            return fail("字段 " + path + ".name 重复：材料“" + name + "”");
        }
    }
    const Json* constructions = array(root, "constructions", kMostConstructions, "保温做法");
    if (constructions == nullptr) return false;
    d.constructions.resize(constructions->size());
    for (std::size_t i = 0; i < constructions->size(); ++i) {
        const std::string path = "constructions[" + std::to_string(i) + "]";
        if (!construction((*constructions)[i], path, d, d.constructions[i])) return false;
        const std::string& name = d.constructions[i].name;
        if (std::count_if(d.constructions.begin(), d.constructions.begin() + static_cast<std::ptrdiff_t>(i),
                          [&name](const InsulationConstruction& c) { return c.name == name; }) != 0) {
            return fail("字段 " + path + ".name 重复：保温做法“" + name + "”");
        }
    }
    return true;
}

bool Reader::settings(const Json& json, InsulationSettings& s)
{
    std::size_t operation = 0;
    const Json* prices = nullptr;
    const bool read = bounded(json, "insulation", "surfaceLimit", s.surfaceLimit, 0, false, 1000, "应大于 0 ℃ 且不高于 1000 ℃") &&
                      choice(json, "insulation", "operation", kOperations, operation) &&
                      (prices = object(json, "insulation", "prices")) != nullptr &&
                      bounded(*prices, "insulation.prices", "heat", s.heatPrice, 0, true, kLargestNumber, "不应为负") &&
                      bounded(*prices, "insulation.prices", "hours", s.hours, 0, false, 8784, "应大于 0 且不多于 8784 小时") &&
                      bounded(*prices, "insulation.prices", "insulation", s.insulationPrice, 0, true, kLargestNumber, "不应为负") &&
                      bounded(*prices, "insulation.prices", "jacket", s.jacketPrice, 0, true, kLargestNumber, "不应为负") &&
                      bounded(*prices, "insulation.prices", "years", s.years, 1, true, 100, "应为 1 至 100 年") &&
                      bounded(*prices, "insulation.prices", "interest", s.interest, 0, true, 1, "应在 0 至 1 之间");
    if (!read) return false;
    if (s.years && *s.years != std::floor(*s.years)) return fail("字段 insulation.prices.years 应为整年数");
    s.seasonal = operation == 1;
    return true;
}

bool Reader::ownMaterial(const Json& json, const std::string& path, OwnMaterial& m)
{
    if (!json.is_object()) return fail("字段 " + path + " 应为对象");
    if (!nodeName(json, path, "name", m.name)) return false;
    if (m.name.empty()) return fail("字段 " + path + ".name 不应为空");
    return number(json, path, "a", m.a) && number(json, path, "b", m.b) && number(json, path, "c", m.c) &&
           bounded(json, path, "useUpTo", m.useUpTo, -273.15, false, 2000, "应高于 -273.15 ℃ 且不高于 2000 ℃");
}

bool Reader::layer(const Json& json, const std::string& path, const PipelineDocument& d, InsulationLayer& l)
{
    if (!json.is_object()) return fail("字段 " + path + " 应为对象");
    if (!nodeName(json, path, "material", l.material)) return false;
    if (!l.material.empty() && !insulation::findMaterial(l.material) && findOwnMaterial(d, l.material) == nullptr) {
        return fail("字段 " + path + ".material：没有名为“" + l.material + "”的保温材料");
    }
    return bounded(json, path, "thickness", l.thickness, 0, false, kThickestLayer, "应大于 0 且不大于 1000 mm");
}

bool Reader::construction(const Json& json, const std::string& path, const PipelineDocument& d, InsulationConstruction& c)
{
    if (!json.is_object()) return fail("字段 " + path + " 应为对象");
    if (!nodeName(json, path, "name", c.name)) return false;
    if (c.name.empty()) return fail("字段 " + path + ".name 不应为空");
    const Json* inner = object(json, path, "inner");
    if (inner == nullptr || !layer(*inner, path + ".inner", d, c.inner)) return false;
    const Json* outer = object(json, path, "outer");
    if (outer == nullptr || !layer(*outer, path + ".outer", d, c.outer)) return false;
    if (!nodeName(json, path, "jacket", c.jacket)) return false;
    if (!c.jacket.empty() && !insulation::findJacket(c.jacket)) return fail("字段 " + path + ".jacket：没有名为“" + c.jacket + "”的外护层");
    return bounded(json, path, "emissivity", c.emissivity, 0, false, 1, "应大于 0 且不大于 1") &&
           bounded(json, path, "wind", c.wind, 0, true, 100, "应在 0 至 100 m/s 之间");
}

std::size_t lineAt(std::string_view text, std::size_t byte)
{
    const std::size_t end = std::min(byte, text.size());
    return 1 + static_cast<std::size_t>(std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(end), '\n'));
}

}  // namespace

std::string writePipelineFile(const PipelineDocument& d)
{
    std::string start;
    ObjectWriter(start, 2)
        .field("pressure", number(d.startPressure))
        .field("pressureUnit", quoted(d.pressureUnit))
        .field("temperature", number(d.startTemperature))
        .field("temperatureUnit", quoted(d.temperatureUnit))
        .close();
    const bool sources = holdsSources(d);
    const bool cases = sources || usesCases(d);
    const bool law = cases || setsTemperatureLaw(d);  // each version holds everything of the one before
    const bool insulation = law || usesInsulation(d);
    std::vector<std::string> segments, nodes;
    for (const PipelineSegment& s : d.segments) segments.push_back(segmentText(s, insulation));
    for (const NetworkNode& n : d.nodes) nodes.push_back(nodeText(n, sources));

    std::string text;
    ObjectWriter root(text, 0);
    root.field("format", quoted(std::string(kPipelineFormat)))
        .field("version", std::to_string(sources ? kPipelineVersion : cases ? kCasesVersion : law ? kTemperatureLawVersion : insulation ? kInsulationVersion : kNetworkVersion))
        .field("project", quoted(d.project))
        .field("designer", quoted(d.designer))
        .field("start", start)
        .field("superheatMargin", formatShortest(d.superheatMargin));
    if (law) {
        root.field("temperatureLaw", quoted(std::string(kTemperatureLaws[static_cast<std::size_t>(d.temperatureLaw)])))
            .field("lowestDryness", formatShortest(d.lowestDryness));
    }
    if (insulation) {
        std::vector<std::string> materials, constructions;
        for (const OwnMaterial& m : d.ownMaterials) materials.push_back(ownMaterialText(m));
        for (const InsulationConstruction& c : d.constructions) constructions.push_back(constructionText(c));
        root.field("insulation", insulationSettingsText(d.insulation))
            .field("ownMaterials", arrayOf(materials))
            .field("constructions", arrayOf(constructions));
    }
    if (cases) {
        std::vector<std::string> caseTexts;
        for (const LoadCase& c : d.cases) caseTexts.push_back(caseText(c));
        root.field("designCase", quoted(d.designCase)).field("cases", arrayOf(caseTexts));
    }
    root.field("segments", arrayOf(segments)).field("nodes", arrayOf(nodes)).close();
    return text + "\n";
}

std::string tooLargeMessage()
{
    return "文件过大：管线文件不超过 " + std::to_string(kMostFileBytes / (1024 * 1024)) + " MB";
}

PipelineFileRead readPipelineFile(std::string_view text)
{
    if (text.size() > kMostFileBytes) return {std::nullopt, tooLargeMessage()};
    // UTF-16 puts a zero byte beside every ASCII character, and a byte-order mark first.
    if (text.starts_with("\xFF\xFE") || text.starts_with("\xFE\xFF") ||
        (text.size() >= 2 && (text[0] == '\0' || text[1] == '\0'))) {
        return {std::nullopt, "文件不是 UTF-8 编码：管线文件应为 UTF-8 文本（此文件似为 UTF-16）"};
    }
    // The JSON parser would take a zero byte for the end of the text and ignore what follows.
    if (const std::size_t zero = text.find('\0'); zero != std::string_view::npos) {
        return {std::nullopt, "文件不是有效的 JSON 文档（第 " + std::to_string(lineAt(text, zero)) + " 行）"};
    }
    PathTracker where;
    Json root;
    try {
        root = Json::parse(text, [&where](int depth, Json::parse_event_t event, Json& parsed) {
            return where.onEvent(depth, event, parsed);
        });
    } catch (const Json::parse_error& e) {
        if (!where.problem().empty()) return {std::nullopt, where.problem()};
        return {std::nullopt, "文件不是有效的 JSON 文档（第 " + std::to_string(lineAt(text, e.byte)) + " 行）"};
    } catch (const Json::exception&) {  // a number beyond the double range
        if (!where.problem().empty()) return {std::nullopt, where.problem()};
        return {std::nullopt, "字段 " + where.path() + " 的数值超出范围"};
    }
    if (!where.problem().empty()) return {std::nullopt, where.problem()};
    Reader reader;
    PipelineFileRead read{reader.document(root), {}};
    read.error = reader.error;
    return read;
}

}  // namespace dorvent
