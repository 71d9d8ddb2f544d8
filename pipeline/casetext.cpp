#include "pipeline/casetext.h"

#include "pipeline/casecomparison.h"
#include "pipeline/loadcases.h"
#include "pipeline/nodetable.h"
#include "pipeline/pipelinetable.h"

namespace dorvent {

std::string casesLines(const PipelineDocument& document, const std::vector<PipelineResult>& results)
{
    if (results.size() == 1) return resultLines(document, results.front());
    std::string text;
    for (std::size_t k = 0; k < results.size(); ++k) {
        text += (k == 0 ? "" : "\n") + std::string("【工况】") + printable(caseName(document, k)) + "\n";
        text += resultLines(documentForCase(document, k).document, results[k]);
    }
    text += "\n【工况对比】最不利用户\n";
    for (const std::string& line : criticalLines(document, results)) text += "  " + printable(line) + "\n";
    return text;
}

std::string casesCsv(const PipelineDocument& document, const std::vector<PipelineResult>& results, bool nodes)
{
    const auto table = [nodes](const PipelineDocument& d, const PipelineResult& r) { return nodes ? csvNodes(d, r) : csvTable(d, r); };
    if (results.size() == 1) return table(document, results.front());
    std::string csv;
    for (std::size_t k = 0; k < results.size(); ++k) {
        const std::string one = table(documentForCase(document, k).document, results[k]);
        const std::string name = csvField(spreadsheetText(caseName(document, k)));
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
