#include "pipeline/casetrials.h"

#include <algorithm>

#include "pipeline/loadcases.h"

namespace dorvent {
namespace {

Shortfall added(Shortfall a, const Shortfall& b)
{
    a.amount += b.amount;
    a.pipes += b.pipes;
    a.surely = a.surely || b.surely;
    return a;
}

}  // namespace

CaseTrials::CaseTrials(const PipelineDocument& document) : whole_(document)
{
    for (std::size_t k = 0; k < caseCount(document); ++k) {
        trials_.push_back(std::make_unique<SizingTrial>(documentForCase(document, k).document));
    }
    sum();
}

void CaseTrials::sum()
{
    total_ = {};
    for (const auto& trial : trials_) total_ = added(total_, trial->shortfall());
}

PipelineDocument CaseTrials::sizedDocument() const
{
    PipelineDocument sized = whole_;
    for (std::size_t i = 0; i < sized.segments.size(); ++i) sized.segments[i].dn = document().segments[i].dn;
    return sized;
}

std::vector<bool> CaseTrials::shortBelow() const
{
    std::vector<bool> below = design().shortBelow();
    for (std::size_t k = 1; k < trials_.size(); ++k) {
        const std::vector<bool> more = trials_[k]->shortBelow();
        for (std::size_t i = 0; i < below.size(); ++i) below[i] = below[i] || more[i];
    }
    return below;
}

bool CaseTrials::failsSomewhere(std::size_t pipe) const
{
    return std::any_of(trials_.begin(), trials_.end(),
                       [pipe](const auto& trial) { return trial->run(pipe).status == SegmentStatus::failed; });
}

Shortfall CaseTrials::estimateWith(const SizeChanges& changes)
{
    Shortfall with;
    for (const auto& trial : trials_) with = added(with, trial->estimateWith(changes));
    return with;
}

bool CaseTrials::surelyShortWith(const SizeChanges& changes)
{
    return std::any_of(trials_.begin(), trials_.end(), [&changes](const auto& trial) { return trial->surelyShortWith(changes); });
}

SizingTrial::Shortcomings CaseTrials::shortcomingsWith(const SizeChanges& changes)
{
    SizingTrial::Shortcomings found;
    for (const auto& trial : trials_) {
        const SizingTrial::Shortcomings one = trial->shortcomingsWith(changes);
        found.requirement = found.requirement || one.requirement;
        found.velocity = found.velocity || one.velocity;
    }
    return found;
}

bool CaseTrials::applyIf(const SizeChanges& changes, const std::function<bool(const Shortfall&)>& keep)
{
    if (trials_.size() == 1) {
        const bool kept = trials_.front()->applyIf(changes, keep);
        total_ = trials_.front()->shortfall();
        return kept;
    }
    Shortfall with;
    for (const auto& trial : trials_) with = added(with, trial->tryChanges(changes));
    const bool kept = keep(with);
    for (const auto& trial : trials_) {
        if (kept) {
            trial->keepTried();
        } else {
            trial->dropTried();
        }
    }
    if (kept) sum();
    return kept;
}

void CaseTrials::apply(const SizeChanges& changes)
{
    applyIf(changes, [](const Shortfall&) { return true; });
}

void CaseTrials::estimating(bool on)
{
    for (const auto& trial : trials_) trial->estimating(on);
    sum();
}

void CaseTrials::setSizes(const std::vector<int>& sizes)
{
    for (const auto& trial : trials_) trial->setSizes(sizes);
    sum();
}

long CaseTrials::computations() const
{
    long sum = 0;
    for (const auto& trial : trials_) sum += trial->computations();
    return sum;
}

long CaseTrials::work() const
{
    long sum = 0;
    for (const auto& trial : trials_) sum += trial->work();
    return sum;
}

std::vector<SizingTrial::Saved> CaseTrials::save() const
{
    std::vector<SizingTrial::Saved> saved;
    for (const auto& trial : trials_) saved.push_back(trial->save());
    return saved;
}

void CaseTrials::restore(std::vector<SizingTrial::Saved> saved)
{
    for (std::size_t k = 0; k < trials_.size(); ++k) trials_[k]->restore(std::move(saved[k]));
    sum();
}

std::string CaseTrials::boundBy(std::size_t pipe)
{
    if (!isSized(pipe) || size(pipe) == 0) return {};
    const SizeChanges smaller = {{pipe, size(pipe) - 1}};
    std::optional<std::size_t> most;
    double growth = 1e-9;
    for (std::size_t k = 0; k < trials_.size(); ++k) {
        const double grows = trials_[k]->estimateWith(smaller).amount - trials_[k]->shortfall().amount;
        if (grows > growth) {
            growth = grows;
            most = k;
        }
    }
    return most ? caseName(whole_, *most) : std::string();
}

}  // namespace dorvent
