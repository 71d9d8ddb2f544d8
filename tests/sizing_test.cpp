#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <random>

#include "pipeline/networkcalc.h"
#include "pipeline/nodetable.h"
#include "pipeline/pipesizing.h"
#include "pipes/guanjing.h"
#include "pipes/proposal.h"

namespace dorvent {
namespace {

double steelOf(const PipelineDocument& d)
{
    double kg = 0;
    for (const PipelineSegment& s : d.segments) {
        const PipeSize* row = findCatalogueRow(s.dn);
        const double D = row ? row->waijing : *s.outerDiameter, wall = row ? row->bihou : *s.wall;
        kg += *s.length * 3.14159265358979 * wall * (D - wall) * 7850e-6;
    }
    return kg;
}

double outerOf(const PipelineSegment& s) { return s.dn ? findCatalogueRow(s.dn)->waijing : s.outerDiameter.value_or(0); }

/// What a sized network must be, checked with the ordinary calculation.
::testing::AssertionResult served(const PipelineDocument& d, bool telescoping = true)
{
    const PipelineResult r = calculateNetwork(d);
    if (!r.allComputed) return ::testing::AssertionFailure() << "not all computed";
    if (!requirementsMet(r)) return ::testing::AssertionFailure() << "requirements";
    for (std::size_t i = 0; i < d.segments.size(); ++i) {
        const PipelineSegment& s = d.segments[i];
        if (s.dn != 0 && !s.fixed && r.segments[i].velocity > velocityBand(s.dn).highest) {
            return ::testing::AssertionFailure() << "velocity of pipe " << i;
        }
        for (const PipelineSegment& feed : d.segments) {
            if (telescoping && feed.to == s.from && outerOf(s) > outerOf(feed) && !(s.fixed && feed.fixed)) {
                return ::testing::AssertionFailure() << "pipe " << i << " larger than its feed";
            }
        }
    }
    return ::testing::AssertionSuccess();
}

/// A tree of pipes from one source, each hung from a node before it, with demands on its ends and
/// requirements that the smallest sizes cannot meet.
PipelineDocument randomNetwork(unsigned seed, int pipes)
{
    std::mt19937 rng(seed);
    const auto pick = [&rng](double low, double high) { return low + (high - low) * (rng() % 1000) / 999.0; };
    PipelineDocument d{.startPressure = pick(0.8, 1.6), .startTemperature = pick(260, 330)};
    for (int i = 0; i < pipes; ++i) {
        PipelineSegment s{.from = i == 0 ? "S" : "N" + std::to_string(rng() % i), .to = "N" + std::to_string(i),
                          .dn = 100, .length = pick(200, 1500), .zeta = 0.3, .beta = 0.2, .phi = 1, .ambient = 10,
                          .dropPerKm = 5, .heatLossSource = rng() % 2 ? HeatLossSource::overhead : HeatLossSource::typed,
                          .heatLoss = 0.6};
        d.segments.push_back(s);
    }
    for (int i = 0; i < pipes; ++i) {
        NetworkNode node{.name = "N" + std::to_string(i), .demand = pick(1, 20)};
        if (rng() % 3 == 0) node.requiredPressure = *d.startPressure * pick(0.6, 0.9);
        if (rng() % 5 == 0) node.requiredTemperature = *d.startTemperature - pick(30, 80);
        d.nodes.push_back(node);
    }
    return d;
}

/// The lightest served sizes among every combination of five sizes per pipe, from the
/// smallest that keeps its velocity at the source's state.
std::optional<double> exhaustiveLeast(PipelineDocument d)
{
    const std::size_t n = d.segments.size();
    std::vector<int> low(n), at(n, 0);
    const PipelineResult now = calculateNetwork(d);
    std::vector<int> asc;
    for (auto it = guanjing.rbegin(); it != guanjing.rend(); ++it) asc.push_back(static_cast<int>(it->dn));
    for (std::size_t i = 0; i < n; ++i) {
        // Every other pipe large, so that the pipe starts at about the source's state: no smaller
        // size keeps its velocity anywhere.
        PipelineDocument one = d;
        for (PipelineSegment& s : one.segments) s.dn = 1000;
        int k = 0;
        for (; k + 5 < static_cast<int>(asc.size()); ++k) {
            one.segments[i].dn = asc[static_cast<std::size_t>(k)];
            const SegmentRun r = calculateNetwork(one).segments[i];
            if (r.status == SegmentStatus::computed && r.velocity <= velocityBand(asc[static_cast<std::size_t>(k)]).highest) break;
        }
        low[i] = k;
        std::printf(" low %d=DN%d", static_cast<int>(i), asc[static_cast<std::size_t>(k)]);
    }
    std::printf("\n");
    std::optional<double> least;
    for (;;) {
        for (std::size_t i = 0; i < n; ++i) d.segments[i].dn = asc[static_cast<std::size_t>(low[i] + at[i])];
        if (served(d)) {
            const double kg = steelOf(d);
            if (!least || kg < *least) {
                least = kg;
                for (std::size_t j = 0; j < n; ++j) std::printf(" DN%d", d.segments[j].dn);
                std::printf(" = %.1f\n", kg);
            }
        }
        std::size_t i = 0;
        while (i < n && ++at[i] == 5) at[i++] = 0;
        if (i == n) break;
    }
    return least;
}

TEST(Sizing, SmallNetworksAgainstEveryCombination)
{
    int equal = 0, within = 0, count = 0;
    double worst = 0;
    for (unsigned seed = 1; seed <= 20; ++seed) {
        const PipelineDocument d = randomNetwork(seed, 3 + static_cast<int>(seed % 4));
        const SizingResult sized = sizeNetwork(d);
        const std::optional<double> least = exhaustiveLeast(d);
        std::printf("seed %u: %d pipes outcome %d mass %.1f least %s\n", seed, static_cast<int>(d.segments.size()),
                    static_cast<int>(sized.outcome), sized.massAfter, least ? std::to_string(*least).c_str() : "none");
        for (const SizedPipe& p : sized.pipes) std::printf(" %d->%d", p.oldDn, p.newDn);
        std::printf("\n");
        if (!least) continue;
        ++count;
        ASSERT_EQ(sized.outcome, SizingOutcome::sized) << seed;
        EXPECT_TRUE(served(sized.document)) << seed;
        const double excess = sized.massAfter / *least - 1;
        worst = std::max(worst, excess);
        equal += excess < 1e-9;
        within += excess <= 0.02;
    }
    std::printf("%d networks: %d equal, %d within 2%%, worst %.2f%%\n", count, equal, within, 100 * worst);
}

}  // namespace
}  // namespace dorvent
