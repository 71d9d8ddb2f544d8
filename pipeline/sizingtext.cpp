#include "pipeline/sizingtext.h"

#include <string_view>

#include "numtext/formatnumber.h"
#include "numtext/readnumber.h"
#include "pipeline/pipelinetable.h"
#include "pipes/proposal.h"

namespace dorvent {
namespace {

constexpr char kEvenAtLargest[] = "即使其路径上可选的管段都取最大管径，";
constexpr char kAtLargest[] = "其路径上可选的管段都取最大管径时";
constexpr char kNoneSmaller[] = "；也未找到能同时满足其他要求的较小管径";

std::string quoted(const std::string& name) { return "“" + printable(name) + "”"; }

/// What superheat a pipe's end has: "过热度只有 4.148 ℃", or none at all where the steam arrives
/// wet (按焓平衡): "到达的是湿蒸汽（干度 0.820），没有过热度".
std::string superheatText(const SegmentRun& run, double margin)
{
    if (run.balance && run.balance->dryness < 1) {
        return "到达的是湿蒸汽（干度 " + formatFixed(run.balance->dryness, 3) + "），没有过热度";
    }
    return "过热度只有 " + apartFrom(*run.superheat, margin) + " ℃";
}

}  // namespace

bool isInputFault(const PipelineSegment& s, const SegmentRun& run)
{
    switch (run.field) {
    case SegmentField::none: return false;
    case SegmentField::heatLoss: return s.heatLossSource == HeatLossSource::typed;
    default: return true;
    }
}

std::string pipeName(const PipelineDocument& document, std::size_t pipe)
{
    const std::string& label = document.segments[pipe].label;
    return "管段 " + std::to_string(pipe + 1) + (label.empty() ? "" : quoted(label));
}

std::string dnName(int dn) { return dn == 0 ? std::string(kOwnPipeName) : "DN" + std::to_string(dn); }

UnservedReasons reasonsAtLargest(const SizingTrial& trial)
{
    const PipelineDocument& d = trial.document();
    UnservedReasons reasons;
    std::vector<bool> sizedOnPath(d.segments.size(), false);  // itself or a pipe above it sized
    for (const std::size_t i : trial.layout().order) {
        const SegmentRun& run = trial.run(i);
        const std::optional<std::size_t> feed = trial.parent(i);
        sizedOnPath[i] = trial.isSized(i) || (feed && sizedOnPath[*feed]);
        if (run.status == SegmentStatus::notComputed) continue;  // below a pipe that does not compute
        if (run.status == SegmentStatus::failed && sizedOnPath[i] && !isInputFault(d.segments[i], run)) {
            reasons.other.push_back(pipeName(d, i) + "：" + kAtLargest + "不能计算：" + run.message + kNoneSmaller);
        } else if (run.status == SegmentStatus::failed) {  // at any sizes
            reasons.certain.push_back(pipeName(d, i) + "：" + run.message);
        }
        if (run.status == SegmentStatus::failed) continue;
        const double fastest = velocityBand(static_cast<float>(d.segments[i].dn)).highest;
        if (trial.isSized(i) && run.velocity > fastest) {
            reasons.certain.push_back(pipeName(d, i) + "：" + kEvenAtLargest + "取 " + dnName(d.segments[i].dn) +
                                      " 时起点流速 " + apartFrom(run.velocity, fastest) + " m/s 仍高于允许的 " +
                                      formatShortest(fastest) + " m/s，更大的管径" +
                                      (trial.size(i) < trial.largest(i) ? "比上游管道大" : "没有热损失数据或不在目录中"));
        }
        const std::string& name = trial.layout().names[*run.toNode];
        if (const NetworkNode* node = trial.layout().data[*run.toNode]) {
            if (node->requiredPressure && run.pend < *node->requiredPressure) {
                reasons.certain.push_back("用户" + quoted(name) + "：" + kEvenAtLargest + "压力也只有 " +
                                          apartFrom(run.pend, *node->requiredPressure) + " MPa，低于要求的 " +
                                          formatShortest(*node->requiredPressure) + " MPa");
            }
            if (node->requiredTemperature && run.tend < *node->requiredTemperature) {
                reasons.other.push_back("用户" + quoted(name) + "：" + kAtLargest + "温度只有 " +
                                        apartFrom(run.tend, *node->requiredTemperature) + " ℃，低于要求的 " +
                                        formatShortest(*node->requiredTemperature) + " ℃" + kNoneSmaller);
            }
        }
        if (run.superheat && *run.superheat < d.superheatMargin) {
            reasons.other.push_back("节点" + quoted(name) + "：" + kAtLargest + superheatText(run, d.superheatMargin) +
                                    "，低于裕量 " + formatShortest(d.superheatMargin) + " ℃" + kNoneSmaller);
        }
    }
    return reasons;
}

std::string belowBandLine(const BelowBand& below)
{
    if (below.pipes == 0) return {};
    std::string smaller;
    const auto add = [&smaller](int count, std::string_view what) {
        if (count == 0) return;
        smaller += (smaller.empty() ? "" : "，") + std::to_string(count) + " 根" + std::string(what);
    };
    add(below.requirement, "会使节点的蒸汽参数达不到要求");
    add(below.tooFast, "的起点流速会高于允许范围");
    add(below.tooFastBelow, "会使下游管段的起点流速高于允许范围");
    add(below.feeding, "会比它供汽的管道小");
    std::string line = "选管的管段中有 " + std::to_string(below.pipes) + " 根起点流速低于其管径的允许范围";
    if (!smaller.empty()) line += "，再小一号时：" + smaller;
    if (below.smallest > 0) line += (smaller.empty() ? "：" : "；") + std::to_string(below.smallest) + " 根已是可选的最小管径";
    return line;
}

std::string sizingLines(const PipelineDocument& document, const SizingResult& result)
{
    std::string text;
    switch (result.outcome) {
    case SizingOutcome::cancelled: return "自动选管已取消\n";
    case SizingOutcome::cannotStart: text = "自动选管不能进行：\n"; break;
    case SizingOutcome::unservable: text = "自动选管：以下要求不能满足，管径未改：\n"; break;
    case SizingOutcome::sized:
        text = document.cases.empty() ? "自动选管：每个节点都能得到所需的蒸汽参数\n" : "自动选管：每个工况中每个节点都能得到所需的蒸汽参数\n";
        break;
    }
    for (const std::string& problem : result.problems) text += problem + "\n";
    if (result.outcome == SizingOutcome::cannotStart) return text;
    if (const std::string below = belowBandLine(result.belowBand); !below.empty()) text += below + "\n";
    for (const SizedPipe& pipe : result.pipes) {
        const PipelineSegment& s = document.segments[pipe.segment];
        text += pipeName(document, pipe.segment) + "（" + printable(s.from) + " → " + printable(s.to) + "）：" +
                dnName(pipe.oldDn) +
                (pipe.kept ? "，固定" : pipe.newDn == pipe.oldDn ? "，不变" : " → " + dnName(pipe.newDn)) +
                (pipe.boundBy.empty() ? "" : "（决定工况：" + printable(pipe.boundBy) + "）") + "\n";
    }
    text += "钢材总质量：" + formatFixed(result.massBefore, 1) + " kg → " + formatFixed(result.massAfter, 1) + " kg\n";
    return text;
}

}  // namespace dorvent
