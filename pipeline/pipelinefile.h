#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "pipeline/pipelinedocument.h"

namespace dorvent {

/// A pipeline file is a JSON document (UTF-8) whose "format" and "version" come first; docs/
/// describes it. This program reads versions 1 (a series main), 2 (a network: pipes between
/// named nodes, and the nodes' demands and requirements), 3 (insulation constructions, own
/// materials and their settings), 4 (the temperature law and the lowest dryness), 5 (load
/// cases) and 6 (sources and site-plan coordinates of nodes), and writes the oldest version that
/// holds the document: 6 once a node holds anything of a source or a place, else 5 once it has a case
/// beyond the design case or names that otherwise, else 4 once it sets the law or the dryness otherwise than
/// the older versions read them, else 3 once it holds anything of insulation, else 2.
inline constexpr std::string_view kPipelineFormat = "dorvent-pipeline";
inline constexpr int kPipelineVersion = 6;
inline constexpr int kCasesVersion = 5;
inline constexpr int kTemperatureLawVersion = 4;
inline constexpr int kInsulationVersion = 3;
inline constexpr int kNetworkVersion = 2;
inline constexpr int kOldestPipelineVersion = 1;
inline constexpr std::string_view kPipelineExtension = ".dorvent";

/// Sizes beyond which a file is refused rather than read. The file of the largest document, its
/// texts full of characters that JSON escapes in six bytes, stays well within the file size.
inline constexpr std::size_t kMostFileBytes = 16 * 1024 * 1024;
inline constexpr std::size_t kMostSegments = 1000;
inline constexpr std::size_t kMostNodes = 2 * kMostSegments;  ///< two ends for each pipe
inline constexpr std::size_t kMostTextBytes = 600;  ///< 200 Chinese characters
inline constexpr std::size_t kMostCellTextBytes = 32;  ///< a text kept in a number cell
inline constexpr std::size_t kMostNodeNameBytes = 60;  ///< 20 Chinese characters
inline constexpr std::size_t kMostConstructions = 100;  ///< and as many own materials
inline constexpr double kThickestLayer = 1000;  ///< [mm]

/// The text of the document's file. Numbers are written as their shortest decimal text, never
/// in exponent form; an empty number is null.
std::string writePipelineFile(const PipelineDocument& document);

/// The document in a file's text, or the one reason it is refused, in Chinese, naming the
/// field (as in "segments[2].length") or the line where the text stops being readable.
struct PipelineFileRead {
    std::optional<PipelineDocument> document;
    std::string error;
};
PipelineFileRead readPipelineFile(std::string_view text);

/// The reason a file larger than kMostFileBytes is refused.
std::string tooLargeMessage();

}  // namespace dorvent
