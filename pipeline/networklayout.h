#pragma once

#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "pipeline/pipecompute.h"
#include "pipeline/pipelinecalc.h"
#include "pipeline/pipelinedocument.h"

namespace dorvent {

/// The tree the pipes form: every node fed by one pipe, all reached from the source. Pipes that
/// do not fit it keep why, at the cell that is to blame.
class NetworkLayout {
public:
    explicit NetworkLayout(const PipelineDocument& document);

    std::vector<std::string> names;                     // of the nodes, in the order the pipes name them
    std::optional<std::size_t> source;
    std::vector<std::size_t> order;                     // the pipes of the tree, each after the one feeding it
    std::vector<std::vector<std::size_t>> leaving;      // of each node: the pipes of the tree that leave it
    std::vector<std::optional<std::size_t>> feed;       // of each node: the pipe of the tree that feeds it
    std::vector<std::optional<std::pair<SegmentField, std::string>>> faults;  // of each pipe
    std::vector<const NetworkNode*> data;               // of each node: what the document holds for it
    bool fedTwice = false;                              // a node is fed by more than one pipe: a loop

    std::optional<std::size_t> indexOf(const std::string& name) const
    {
        const auto it = index_.find(name);
        return it == index_.end() ? std::nullopt : std::optional(it->second);
    }

private:
    std::map<std::string, std::size_t, std::less<>> index_;
};

/// What leaves a node: its demand and the flows of the pipes below it that leave it, added as
/// decimals (addDecimals), so that 0.1 + 0.2 + 0.4 t/h read 0.7.
double leavingFlow(const NetworkNode* node, const std::vector<std::size_t>& below, const std::vector<PipeFlow>& flows);

/// The flow of every pipe of the tree, from the ends towards the source: typed, or the demand of
/// its end node and the flows of the pipes leaving that node. A typed flow below what leaves its
/// end node keeps a note saying so.
std::vector<PipeFlow> flowsOf(const PipelineDocument& document, const NetworkLayout& layout);

}  // namespace dorvent
