#pragma once

// Automatic sizing over every load case: one sizing trial per case, the same sizes in each, a
// change kept or refused in all of them at once, and what falls short summed over the cases.
// With the design case alone it is that case's trial, and sizes as it does.

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "pipeline/sizingtrial.h"

namespace dorvent {

class CaseTrials {
public:
    /// Every case of the document; the document must compute in each (see sizeNetwork).
    explicit CaseTrials(const PipelineDocument& document);

    std::size_t count() const { return trials_.size(); }
    SizingTrial& at(std::size_t k) { return *trials_[k]; }
    const SizingTrial& at(std::size_t k) const { return *trials_[k]; }

    // What every case shares: the tree, the sizes, the pipes and their steel, as the design case has them.
    const NetworkLayout& layout() const { return design().layout(); }
    /// The design case's document in the sizes as they stand.
    const PipelineDocument& document() const { return design().document(); }
    /// The whole document, its cases with it, in the sizes as they stand.
    PipelineDocument sizedDocument() const;
    bool isSized(std::size_t pipe) const { return design().isSized(pipe); }
    int size(std::size_t pipe) const { return design().size(pipe); }
    int largest(std::size_t pipe) const { return design().largest(pipe); }
    double outerDiameter(std::size_t pipe) const { return design().outerDiameter(pipe); }
    std::optional<std::size_t> parent(std::size_t pipe) const { return design().parent(pipe); }
    const std::vector<std::size_t>& children(std::size_t pipe) const { return design().children(pipe); }
    const std::vector<std::size_t>& sizedPipes() const { return design().sizedPipes(); }
    const std::vector<int>& sizes() const { return design().sizes(); }
    double mass() const { return design().mass(); }
    double length(std::size_t pipe) const { return design().length(pipe); }

    /// Summed over the cases; sure where it is in one.
    const Shortfall& shortfall() const { return total_; }
    /// Whether the pipe or a pipe downstream of it falls short in some case.
    std::vector<bool> shortBelow() const;
    /// Whether the pipe does not compute in some case.
    bool failsSomewhere(std::size_t pipe) const;
    Shortfall estimateWith(const SizeChanges& changes);
    bool surelyShortWith(const SizeChanges& changes);
    SizingTrial::Shortcomings shortcomingsWith(const SizeChanges& changes);
    /// Keeps the changes in every case when keep approves of the shortfall summed over them.
    bool applyIf(const SizeChanges& changes, const std::function<bool(const Shortfall&)>& keep);
    void apply(const SizeChanges& changes);
    void estimating(bool on);
    void setSizes(const std::vector<int>& sizes);

    long computations() const;
    long work() const;
    std::vector<SizingTrial::Saved> save() const;
    void restore(std::vector<SizingTrial::Saved> saved);

    /// The case that most wants the pipe no smaller: the one whose shortfall, estimated, grows
    /// most with the pipe one size smaller; empty where none grows.
    std::string boundBy(std::size_t pipe);

private:
    const SizingTrial& design() const { return *trials_.front(); }
    void sum();

    PipelineDocument whole_;
    std::vector<std::unique_ptr<SizingTrial>> trials_;
    Shortfall total_;
};

}  // namespace dorvent
