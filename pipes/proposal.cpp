#include "pipes/proposal.h"

#include <optional>

#include "numtext/formatnumber.h"
#include "numtext/precision.h"
#include "numtext/readnumber.h"
#include "pipes/guanjing.h"
#include "pipes/qiuliusu.h"
#include "mainwin/stateevaluation.h"

namespace dorvent {
namespace {

VelocityBand bandOf(const PipeSize& pipe) { return velocityBand(pipe.dn); }

struct Hydraulics {
    double w = 0.0;  // m/s
    double R = 0.0;  // Pa/m
};

std::string rowText(const PipeSize& pipe, const Hydraulics& h)
{
    return "DN" + formatFixed(pipe.dn, 0) + "  " + formatFixed(h.w, 3) + "m/s  " + formatFixed(h.R, 3) + "Pa/m";
}

/// Walks the catalogue for one flow and density; remembers the first refusal.
class Catalogue {
public:
    Catalogue(std::int16_t area, float G, double rho) : area_(area), G_(G), rho_(rho) {}

    std::optional<Hydraulics> hydraulics(const PipeSize& pipe)
    {
        Hydraulics h;
        const Refusal refusal = qiuliusu(area_, G_, rho_, pipe.waijing, pipe.bihou, h.w, h.R);
        if (refusal) {
            refusal_ = refusal.message;
            return std::nullopt;
        }
        return h;
    }

    std::string_view refusal() const { return refusal_; }

private:
    std::int16_t area_;
    float G_;
    double rho_;
    std::string_view refusal_;
};

/// Pipes whose velocity lies in the band of their class, largest first.
bool firstPass(Catalogue& catalogue, std::vector<std::string>& rows)
{
    for (const PipeSize& pipe : guanjing) {
        const std::optional<Hydraulics> h = catalogue.hydraulics(pipe);
        if (!h) return false;
        const VelocityBand band = bandOf(pipe);
        if (h->w >= band.lowest && h->w <= band.highest) rows.push_back(rowText(pipe, *h));
    }
    return true;
}

/// The first pipe that is too fast for its class, and beside it the next larger pipe when
/// that one is of the same class.
bool secondPass(Catalogue& catalogue, std::vector<std::string>& rows)
{
    for (std::size_t k = 0; k < guanjing.size(); ++k) {
        const std::optional<Hydraulics> h = catalogue.hydraulics(guanjing[k]);
        if (!h) return false;
        if (h->w <= bandOf(guanjing[k]).highest) continue;

        rows.push_back(rowText(guanjing[k], *h));
        if (k > 0 && bandOf(guanjing[k - 1]) == bandOf(guanjing[k])) {
            const std::optional<Hydraulics> larger = catalogue.hydraulics(guanjing[k - 1]);
            if (!larger) return false;
            rows.push_back(rowText(guanjing[k - 1], *larger));
        }
        return true;
    }
    return true;
}

}  // namespace

VelocityBand velocityBand(float dn)
{
    if (dn > 200) return {40, 60};
    if (dn >= 100) return {30, 50};
    return {20, 40};
}

PipeProposal proposePipeSizes(SteamState& state, std::string_view flowText)
{
    if (state.area == region::none) return {{}, kStateFirstMessage};
    if (state.area != region::steam && state.area != region::hotSteam) return {{}, kNotSuperheatedMessage};
    if (flowText.empty()) return {{}, kFlowMissingMessage};

    return proposeForDensity(state.area, refreshDensity(state), flowText);
}

PipeProposal proposeForDensity(std::int16_t area, double rho, std::string_view flowText)
{
    Catalogue catalogue(area, toSinglePrecision(readNumber(flowText)), rho);
    PipeProposal proposal;
    if (!firstPass(catalogue, proposal.rows)) return {{}, catalogue.refusal()};
    if (!proposal.rows.empty()) return proposal;
    if (!secondPass(catalogue, proposal.rows)) return {{}, catalogue.refusal()};
    proposal.message = proposal.rows.empty() ? "没有合适的管径" : "没有合适的管径，已求出最相近管径";
    return proposal;
}

}  // namespace dorvent
