#include "pipeline/pipelinedocument.h"

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
