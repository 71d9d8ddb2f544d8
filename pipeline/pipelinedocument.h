#pragma once

#include <array>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dorvent {

/// The numbers a document may hold: 0, or a magnitude from 10^-9 to 10^9. No input of a steam
/// main means anything beyond them, and within them every number is written in at most 28
/// characters, so that whatever a document holds its file can be read again.
inline constexpr double kLargestNumber = 1e9;
inline constexpr double kSmallestNumber = 1e-9;
inline bool isDocumentNumber(double value)
{
    const double magnitude = value < 0 ? -value : value;
    return value == 0 || (magnitude >= kSmallestNumber && magnitude <= kLargestNumber);
}

/// Where a segment's unit heat loss comes from: typed, the heat-loss table for one of its three
/// laying methods (the values 1 to 3 are the table's laying-method numbers), or the insulation
/// construction the segment names.
enum class HeatLossSource { typed = 0, overhead = 1, nonWalkableTrench = 2, walkableTrench = 3, insulated = 4 };

/// One pipe segment of a steam main. A number left empty is std::nullopt.
struct PipelineSegment {
    std::string label{};                   ///< e.g. "A-B"
    std::string from{};                    ///< the node it leaves (起点); empty in a series main
    std::string to{};                      ///< the node it feeds (终点); empty in a series main
    int dn = 0;                          ///< catalogue nominal diameter [mm]; 0 for a pipe of one's own
    bool fixed = false;                  ///< 固定: automatic sizing keeps its pipe
    std::optional<double> outerDiameter{}; ///< [mm], a pipe of one's own only
    std::optional<double> wall{};          ///< wall thickness [mm], a pipe of one's own only
    std::optional<double> length{};        ///< [m]
    std::optional<double> flow{};          ///< steam flow [t/h]
    std::optional<double> zeta{};          ///< local resistance coefficient
    std::optional<double> beta{};          ///< local heat-loss coefficient
    std::optional<double> phi{};           ///< simultaneous-use coefficient
    std::optional<double> ambient{};       ///< ambient temperature [℃]
    std::optional<double> dropPerKm{};     ///< assumed temperature drop [℃/km], first guess only
    HeatLossSource heatLossSource = HeatLossSource::typed;
    std::optional<double> heatLoss{};      ///< typed unit heat loss [kJ/(m·h·℃)]
    std::string construction{};            ///< the insulation construction (保温做法) of an insulated pipe
    /// What was typed into a number cell that holds no number a document takes, by the input's
    /// key ("length"); the number itself is then empty, and the segment is not computed.
    std::map<std::string, std::string> notNumbers{};

    bool operator==(const PipelineSegment&) const = default;
};

/// The number inputs of a segment with their keys (in the file and in notNumbers), in the order
/// the engineer is asked for them.
struct NumberInput {
    std::string_view key;
    std::optional<double> PipelineSegment::*value;
};
inline constexpr NumberInput kNumberInputs[] = {
    {"outerDiameter", &PipelineSegment::outerDiameter}, {"wall", &PipelineSegment::wall},
    {"length", &PipelineSegment::length},               {"zeta", &PipelineSegment::zeta},
    {"phi", &PipelineSegment::phi},                     {"beta", &PipelineSegment::beta},
    {"ambient", &PipelineSegment::ambient},             {"dropPerKm", &PipelineSegment::dropPerKm},
    {"flow", &PipelineSegment::flow},                   {"heatLoss", &PipelineSegment::heatLoss},
};

/// Reads a number typed into a cell: a complete number in the range a document holds, or none.
std::optional<double> readCellNumber(std::string_view text);

/// Why a text kept in notNumbers is no number: "“1,2x”不是数值", or "“1e10”超出范围" for a
/// number beyond what a document holds.
std::string notNumberReason(std::string_view text);

/// How a node feeds the network: not at all, as a source at a fixed pressure and temperature, or
/// as a source of a fixed flow at a fixed temperature whose pressure the network sets.
enum class SourceKind { none = 0, pressure = 1, flow = 2 };
inline constexpr std::array<std::string_view, 3> kSourceKindNames = {"", "定压", "定流量"};

/// A node of a network: a consumer's demand and what it needs at its connection; a source's
/// state; where it lies on the site plan.
struct NetworkNode {
    std::string name{};
    std::optional<double> demand{};               ///< 用汽量 [t/h]
    std::optional<double> requiredPressure{};     ///< least pressure [MPa], absolute
    std::optional<double> requiredTemperature{};  ///< least temperature [℃]
    SourceKind source = SourceKind::none;
    /// A source's state in the document's units; an empty one takes the header's start state.
    std::optional<double> sourcePressure{}, sourceTemperature{};
    std::optional<double> sourceFlow{};           ///< [t/h], of a fixed-flow source
    std::optional<double> x{}, y{};               ///< on the site plan [m]; both or neither
    /// Texts typed in place of a number, by key ("demand"), as for a segment.
    std::map<std::string, std::string> notNumbers{};

    bool operator==(const NetworkNode&) const = default;
};

/// A layer of an insulation construction: a material by its name, built in or of the document's
/// own, and its thickness.
struct InsulationLayer {
    std::string material{};
    std::optional<double> thickness{};  ///< [mm]

    bool operator==(const InsulationLayer&) const = default;
};

/// An insulation construction (保温做法), defined once and named by the pipes it covers: one or two
/// layers, the jacket (外护层) or the emissivity typed in its place, and the wind it stands in.
struct InsulationConstruction {
    std::string name{};
    InsulationLayer inner{};
    InsulationLayer outer{};               ///< no material: one layer only
    std::string jacket{};                  ///< a jacket of the built-in list; empty: emissivity typed
    std::optional<double> emissivity{};    ///< ε (黑度), typed where no jacket is named
    std::optional<double> wind{};          ///< [m/s]; 0 indoors or in still air, never assumed

    bool operator==(const InsulationConstruction&) const = default;
};

/// A material of the document's own: λ = a + b·tm + c·tm² [W/(m·K)] for a mean layer temperature tm
/// [℃], used up to a temperature.
struct OwnMaterial {
    std::string name{};
    std::optional<double> a{}, b{}, c{};
    std::optional<double> useUpTo{};       ///< [℃]

    bool operator==(const OwnMaterial&) const = default;
};

/// What insulated pipes are checked against, and the prices their economic thickness weighs.
struct InsulationSettings {
    std::optional<double> surfaceLimit{};  ///< [℃]; none: 50 ℃, or the ambient + 25 ℃ above 25 ℃
    bool seasonal = false;                 ///< the allowed heat loss of seasonal, not year-round, operation
    std::optional<double> heatPrice{};     ///< [元/GJ]
    std::optional<double> hours{};         ///< of operation a year [h]
    std::optional<double> insulationPrice{};  ///< installed [元/m³]
    std::optional<double> jacketPrice{};   ///< installed [元/m²]
    std::optional<double> years{};         ///< the investment is paid back over
    std::optional<double> interest{};      ///< yearly rate, 0.08 for 8 %

    bool operator==(const InsulationSettings&) const = default;
};

/// How a pipe's temperature falls along it. 按热损失 lowers it by the heat lost over G·cp, as the
/// segment calculation of the main window does, and stops where the steam would reach saturation;
/// 按焓平衡 marches (p, h) and takes T(p, h), so that it keeps the throttling cooling and goes on
/// into wet steam.
enum class TemperatureLaw { heatLoss = 0, enthalpyBalance = 1 };
inline constexpr std::array<std::string_view, 2> kTemperatureLawNames = {"按热损失", "按焓平衡"};

/// Below this dryness homogeneous flow is no fair model of wet steam: the march stops there.
inline constexpr double kDefaultLowestDryness = 0.8;

/// A load case (工况) beyond the design case: the same pipes with another source state and other
/// demands. An empty number takes the design case's: the source as typed in the header, and each
/// consumer's design demand times the case's factor (typed pipe flows are scaled alike).
struct LoadCase {
    std::string name{};
    std::optional<double> startPressure{};     ///< in the document's pressure unit
    std::optional<double> startTemperature{};  ///< in the document's temperature unit
    std::optional<double> factor{};            ///< 负荷系数 on the design demands; none: 1
    /// Texts typed in place of a number, by key ("factor"), as for a segment.
    std::map<std::string, std::string> notNumbers{};
    std::map<std::string, double> demands{};   ///< [t/h] by consumer, in place of design × factor
    std::map<std::string, std::string> demandTexts{};  ///< by consumer: texts typed in place of a number

    bool operator==(const LoadCase&) const = default;
};

inline constexpr std::string_view kDesignCaseName = "设计工况";

/// A steam main from its source: the start state and the segments. Without node names the
/// segments are in series, in the order the steam passes them, each starting in the end state of
/// the one before. With them they are the pipes of a tree fed from one source, and nodes holds
/// what the network's nodes need.
struct PipelineDocument {
    std::string project{};
    std::string designer{};
    std::optional<double> startPressure{};
    std::string pressureUnit = "MPa";     ///< "MPa", "kPa" or "kgf/cm2", as in the main window
    std::optional<double> startTemperature{};
    std::string temperatureUnit = "℃";    ///< "℃" or "K"
    double superheatMargin = 5.0;         ///< [℃], least superheat wanted at every segment end
    std::vector<PipelineSegment> segments{};
    std::vector<NetworkNode> nodes{};
    std::vector<InsulationConstruction> constructions{};
    std::vector<OwnMaterial> ownMaterials{};
    InsulationSettings insulation{};
    TemperatureLaw temperatureLaw = TemperatureLaw::heatLoss;  ///< 温降计算
    double lowestDryness = kDefaultLowestDryness;               ///< 最低干度, above 0 and at most 1
    /// The design case (the header's source, the design demands) is always the first case.
    std::string designCase = std::string(kDesignCaseName);
    std::vector<LoadCase> cases{};                              ///< the cases after it

    bool operator==(const PipelineDocument&) const = default;
};

/// The construction of that name, or null.
const InsulationConstruction* findConstruction(const PipelineDocument& document, std::string_view name);
/// The material of the document's own of that name, or null.
const OwnMaterial* findOwnMaterial(const PipelineDocument& document, std::string_view name);
/// Whether the document holds anything of insulation: constructions, own materials or settings.
bool usesInsulation(const PipelineDocument& document);

/// Whether the document sets its temperature law or its lowest dryness otherwise than every
/// document did before there was a choice.
bool setsTemperatureLaw(const PipelineDocument& document);

/// A row nobody has typed into yet: no label, end node, length, flow or kept text. A new row may
/// start where the row before ends (its 起点 given), and is no failure until the engineer fills it.
bool isBlank(const PipelineSegment& segment);

/// Whether the segments are pipes between named nodes rather than a series main.
bool isNetwork(const PipelineDocument& document);

/// The names of the nodes the pipes name, in the order they are first named (起点 before 终点).
std::vector<std::string> nodeNames(const PipelineDocument& document);

/// What the document holds for a node; null for a node without data.
const NetworkNode* findNode(const PipelineDocument& document, std::string_view name);

/// Whether a node of the document is marked as a source (热源).
bool marksSources(const PipelineDocument& document);
/// Whether a node of the document has site-plan coordinates.
bool placesNodes(const PipelineDocument& document);
/// Whether a node of the document holds anything of a source or of the site plan.
bool holdsSources(const PipelineDocument& document);

}  // namespace dorvent
