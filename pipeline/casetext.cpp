#include "pipeline/casetext.h"

#include "pipeline/casecomparison.h"
#include "pipeline/loadcases.h"
#include "pipeline/nodetable.h"
#include "pipeline/pipelinetable.h"

namespace dorvent {

namespace {

/// The case of each result: as given, or every case in order.
std::vector<std::size_t> casesOf(const std::vector<PipelineResult>& results, const std::vector<std::size_t>& which)
{
    if (!which.empty()) return which;
    std::vector<std::size_t> all(results.size());
    for (std::size_t k = 0; k < all.size(); ++k) all[k] = k;
    return all;
}

}  // namespace

std::string casesLines(const PipelineDocument& document, const std::vector<PipelineResult>& results,
                       const std::vector<std::size_t>& which)
{
    if (document.cases.empty()) return resultLines(document, results.front());
    const std::vector<std::size_t> cases = casesOf(results, which);
    std::string text;
    for (std::size_t r = 0; r < results.size(); ++r) {
        text += (r == 0 ? "" : "\n") + std::string("【工况】") + printable(caseName(document, cases[r])) + "\n";
        text += resultLines(documentForCase(document, cases[r]).document, results[r]);
    }
    if (results.size() == 1) return text;
    text += "\n【工况对比】最不利用户\n";
    for (const std::string& line : criticalLines(document, results)) text += "  " + printable(line) + "\n";
    return text;
}

std::string casesCsv(const PipelineDocument& document, const std::vector<PipelineResult>& results, bool nodes,
                     const std::vector<std::size_t>& which)
{
    const auto table = [nodes](const PipelineDocument& d, const PipelineResult& r) { return nodes ? csvNodes(d, r) : csvTable(d, r); };
    if (document.cases.empty()) return table(document, results.front());
    const std::vector<std::size_t> cases = casesOf(results, which);
    std::string csv;
    for (std::size_t k = 0; k < results.size(); ++k) {
        const std::string one = table(documentForCase(document, cases[k]).document, results[k]);
        const std::string name = csvField(spreadsheetText(caseName(document, cases[k])));
        std::size_t at = 0;
        for (bool header = true; at < one.size(); header = false) {
            const std::size_t end = one.find("\r\n", at);
            const std::string line = one.substr(at, end - at);
            at = end == std::string::npos ? one.size() : end + 2;
            if (header && k > 0) continue;  // one header for every case
            csv += (header ? std::string("工况") : name) + "," + line + "\r\n";
        }
    }
    return csv;
}

}  // namespace dorvent
