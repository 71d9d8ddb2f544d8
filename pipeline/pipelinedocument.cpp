#include "pipeline/pipelinedocument.h"

#include <algorithm>
#include <set>

#include "numtext/completenumber.h"

namespace dorvent {

bool isBlank(const PipelineSegment& s)
{
    return s.label.empty() && s.to.empty() && !s.length && !s.flow && s.notNumbers.empty();
}

bool isNetwork(const PipelineDocument& document)
{
    for (const PipelineSegment& s : document.segments) {
        if (!s.from.empty() || !s.to.empty()) return true;
    }
    return false;
}

std::vector<std::string> nodeNames(const PipelineDocument& document)
{
    std::vector<std::string> names;
    std::set<std::string_view> seen;
    for (const PipelineSegment& s : document.segments) {
        for (const std::string* name : {&s.from, &s.to}) {
            if (!name->empty() && seen.insert(*name).second) names.push_back(*name);
        }
    }
    return names;
}

const NetworkNode* findNode(const PipelineDocument& document, std::string_view name)
{
    for (const NetworkNode& node : document.nodes) {
        if (node.name == name) return &node;
    }
    return nullptr;
}

bool marksSources(const PipelineDocument& document)
{
    return std::any_of(document.nodes.begin(), document.nodes.end(),
                       [](const NetworkNode& node) { return node.source != SourceKind::none; });
}

bool placesNodes(const PipelineDocument& document)
{
    return std::any_of(document.nodes.begin(), document.nodes.end(),
                       [](const NetworkNode& node) { return node.x || node.y; });
}

bool holdsSources(const PipelineDocument& document)
{
    return std::any_of(document.nodes.begin(), document.nodes.end(), [](const NetworkNode& node) {
        return node.source != SourceKind::none || node.sourcePressure || node.sourceTemperature || node.sourceFlow ||
               node.x || node.y || node.notNumbers.count("sourcePressure") != 0 ||
               node.notNumbers.count("sourceTemperature") != 0 || node.notNumbers.count("sourceFlow") != 0;
    });
}

const InsulationConstruction* findConstruction(const PipelineDocument& document, std::string_view name)
{
    for (const InsulationConstruction& c : document.constructions) {
        if (c.name == name) return &c;
    }
    return nullptr;
}

const OwnMaterial* findOwnMaterial(const PipelineDocument& document, std::string_view name)
{
    for (const OwnMaterial& m : document.ownMaterials) {
        if (m.name == name) return &m;
    }
    return nullptr;
}

bool usesInsulation(const PipelineDocument& document)
{
    const bool anyPipe = std::any_of(document.segments.begin(), document.segments.end(), [](const PipelineSegment& s) {
        return s.heatLossSource == HeatLossSource::insulated;
    });
    return anyPipe || !document.constructions.empty() || !document.ownMaterials.empty() ||
           document.insulation != InsulationSettings{};
}

bool setsTemperatureLaw(const PipelineDocument& document)
{
    return document.temperatureLaw != TemperatureLaw::heatLoss || document.lowestDryness != kDefaultLowestDryness;
}

std::optional<double> readCellNumber(std::string_view text)
{
    const std::optional<double> value = readCompleteNumber(text);
    return value && isDocumentNumber(*value) ? value : std::nullopt;
}

std::string notNumberReason(std::string_view text)
{
    const std::string quoted = "“" + std::string(text) + "”";
    return quoted + (readCompleteNumber(text) ? "超出范围" : "不是数值");
}

}  // namespace dorvent
