#pragma once

// The insulation constructions (保温做法) and own materials (自定义材料) of a document as the
// window's tables show and edit them: a row per construction or material, each cell's text, and
// what a typed text does to the document. A text the file would refuse is refused here, with the
// reason, so that the window never makes a document its file cannot hold.

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "pipeline/pipelinedocument.h"

namespace dorvent {

/// The columns of the construction table: what the engineer gives, then the pipes that use it.
enum class ConstructionColumn { name, innerMaterial, innerThickness, outerMaterial, outerThickness, jacket, emissivity, wind, pipes };
inline constexpr int kConstructionColumnCount = static_cast<int>(ConstructionColumn::pipes) + 1;

/// The columns of the own-material table: λ = a + b·tm + c·tm², then the constructions that use it.
enum class MaterialColumn { name, a, b, c, useUpTo, constructions };
inline constexpr int kMaterialColumnCount = static_cast<int>(MaterialColumn::constructions) + 1;

/// A column's header on two lines: its name, then its unit ("内层厚度", "mm").
std::array<std::string_view, 2> constructionColumnHeader(ConstructionColumn column);
std::array<std::string_view, 2> materialColumnHeader(MaterialColumn column);

/// A construction's cell as it is shown: the emissivity of a construction with a jacket and no
/// typed emissivity is the one it is computed with (emissivityOf).
std::string constructionCellText(const PipelineDocument& document, std::size_t construction, ConstructionColumn column);
/// What the cell holds as typed, for editing and copying: empty for an emissivity taken from the jacket.
std::string constructionInputText(const PipelineDocument& document, std::size_t construction, ConstructionColumn column);
std::string materialCellText(const PipelineDocument& document, std::size_t material, MaterialColumn column);

/// Puts a typed text into a cell. Empty when the cell took it; else why not, and the document is
/// unchanged: a name that is empty, too long or taken, a material or jacket not in the lists, a
/// thickness, emissivity, wind, coefficient or temperature the file would refuse. A construction
/// renamed is renamed in every pipe that names it, a material in every construction.
std::string setConstructionCellText(PipelineDocument& document, std::size_t construction, ConstructionColumn column,
                                    std::string_view text);
std::string setMaterialCellText(PipelineDocument& document, std::size_t material, MaterialColumn column, std::string_view text);

/// The pipes that name the construction, by index.
std::vector<std::size_t> pipesUsing(const PipelineDocument& document, std::string_view construction);
/// The pipes as a user reads them: "1 主线、3", each its row number and label.
std::string pipeList(const PipelineDocument& document, const std::vector<std::size_t>& pipes);
/// The constructions with a layer of the material, by name.
std::vector<std::string> constructionsUsing(const PipelineDocument& document, std::string_view material);

/// Why the construction cannot be deleted: the pipes that use it; empty when it can.
std::string constructionInUse(const PipelineDocument& document, std::string_view construction);
/// Why the own material cannot be deleted: the constructions that use it; empty when it can.
std::string materialInUse(const PipelineDocument& document, std::string_view material);

/// A name of the kind no construction or material of the document has yet: "保温做法1", "材料1".
std::string newConstructionName(const PipelineDocument& document);
std::string newMaterialName(const PipelineDocument& document);

}  // namespace dorvent
