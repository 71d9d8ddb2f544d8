#include "pipeline/loopmodel.h"

#include <algorithm>
#include <cmath>
#include <queue>
#include <utility>

namespace dorvent {

std::vector<double> solveDense(std::vector<std::vector<double>> A, std::vector<double> b)
{
    const std::size_t n = b.size();
    for (std::size_t k = 0; k < n; ++k) {
        std::size_t pivot = k;
        for (std::size_t r = k + 1; r < n; ++r) {
            if (std::abs(A[r][k]) > std::abs(A[pivot][k])) pivot = r;
        }
        std::swap(A[k], A[pivot]);
        std::swap(b[k], b[pivot]);
        if (A[k][k] == 0) continue;
        for (std::size_t r = k + 1; r < n; ++r) {
            const double f = A[r][k] / A[k][k];
            if (f == 0) continue;
            for (std::size_t c = k; c < n; ++c) A[r][c] -= f * A[k][c];
            b[r] -= f * b[k];
        }
    }
    std::vector<double> x(n, 0.0);
    for (std::size_t k = n; k-- > 0;) {
        double sum = b[k];
        for (std::size_t c = k + 1; c < n; ++c) sum -= A[k][c] * x[c];
        x[k] = A[k][k] != 0 ? sum / A[k][k] : 0.0;
    }
    return x;
}

LoopModel::LoopModel(std::vector<std::optional<Ends>> pipes, const std::vector<std::optional<double>>& fixed)
    : pipes_(std::move(pipes)), fixed_(fixed.size(), 0.0), reached_(fixed.size(), false), parent_(fixed.size()),
      parentPipe_(fixed.size()), depth_(fixed.size(), 0), passages_(pipes_.size()), G_(pipes_.size(), 0.0),
      p_(fixed.size(), 0.0)
{
    growForest(fixed);
    traceLoops();
}

/// Breadth first from every node held at a pressure, so that the forest's paths are short and its
/// loops small.
void LoopModel::growForest(const std::vector<std::optional<double>>& fixed)
{
    std::vector<std::vector<std::size_t>> touching(fixed.size());
    for (std::size_t i = 0; i < pipes_.size(); ++i) {
        if (!pipes_[i]) continue;
        touching[pipes_[i]->from].push_back(i);
        touching[pipes_[i]->to].push_back(i);
    }
    std::queue<std::size_t> queue;
    for (std::size_t n = 0; n < fixed.size(); ++n) {
        if (!fixed[n]) continue;
        fixed_[n] = *fixed[n];
        reached_[n] = true;
        queue.push(n);
        order_.push_back(n);
    }
    while (!queue.empty()) {
        const std::size_t n = queue.front();
        queue.pop();
        for (const std::size_t i : touching[n]) {
            const std::size_t other = pipes_[i]->from == n ? pipes_[i]->to : pipes_[i]->from;
            if (reached_[other]) continue;
            reached_[other] = true;
            parent_[other] = n;
            parentPipe_[other] = i;
            depth_[other] = depth_[n] + 1;
            order_.push_back(other);
            queue.push(other);
        }
    }
}

/// Each pipe outside the forest closes a loop: along it, then up the forest from its end and down
/// to its start; through the roots where its ends lie in two trees.
void LoopModel::traceLoops()
{
    const auto root = [this](std::size_t n) { return !parent_[n]; };
    for (std::size_t i = 0; i < pipes_.size(); ++i) {
        if (!pipes_[i] || !reached_[pipes_[i]->from]) continue;
        const auto [from, to] = *pipes_[i];
        if (parentPipe_[to] == i || parentPipe_[from] == i) continue;
        const std::size_t k = chords_.size();
        chords_.push_back(i);
        passages_[i].push_back({k, 1.0});
        std::size_t x = to, y = from;
        while (x != y && !(root(x) && root(y))) {
            if (depth_[x] >= depth_[y] && !root(x)) {  // up from the end: x to its parent
                const std::size_t p = *parentPipe_[x];
                passages_[p].push_back({k, pipes_[p]->from == x ? 1.0 : -1.0});
                x = *parent_[x];
            } else {  // down to the start: y's parent to y
                const std::size_t p = *parentPipe_[y];
                passages_[p].push_back({k, pipes_[p]->from == *parent_[y] ? 1.0 : -1.0});
                y = *parent_[y];
            }
        }
    }
}

/// Each forest pipe carries what its side of the forest takes, the loop-closing flows given.
void LoopModel::forestFlows(const std::vector<double>& out)
{
    std::vector<double> leaving(out.size(), 0.0);
    for (const std::size_t n : order_) leaving[n] = out[n];
    for (const std::size_t i : chords_) {
        leaving[pipes_[i]->from] += G_[i];
        leaving[pipes_[i]->to] -= G_[i];
    }
    for (auto it = order_.rbegin(); it != order_.rend(); ++it) {
        if (!parent_[*it]) continue;
        const std::size_t i = *parentPipe_[*it];
        G_[i] = pipes_[i]->to == *it ? leaving[*it] : -leaving[*it];
        leaving[*parent_[*it]] += leaving[*it];
    }
}

void LoopModel::forestPressures(const std::vector<double>& S)
{
    for (const std::size_t n : order_) {
        if (!parent_[n]) {
            p_[n] = fixed_[n];
            continue;
        }
        const std::size_t i = *parentPipe_[n];
        const double drop = S[i] * G_[i] * std::abs(G_[i]);
        p_[n] = p_[*parent_[n]] + (pipes_[i]->to == n ? -drop : drop);
    }
}

double LoopModel::residual(std::size_t loop, const std::vector<double>& S) const
{
    const std::size_t i = chords_[loop];
    return p_[pipes_[i]->from] - p_[pipes_[i]->to] - S[i] * G_[i] * std::abs(G_[i]);
}

double LoopModel::largestResidual(const std::vector<double>& S) const
{
    double largest = 0;
    for (std::size_t k = 0; k < chords_.size(); ++k) largest = std::max(largest, std::abs(residual(k, S)));
    return largest;
}

void LoopModel::solve(const std::vector<double>& S, const std::vector<double>& out, double floor)
{
    forestFlows(out);
    forestPressures(S);
    const std::size_t loops = chords_.size();
    double largest = largestResidual(S);
    for (int step = 0; step < 100 && largest > 1e-12; ++step) {
        std::vector<std::vector<double>> J(loops, std::vector<double>(loops, 0.0));
        std::vector<double> r(loops);
        for (std::size_t k = 0; k < loops; ++k) r[k] = residual(k, S);
        for (std::size_t i = 0; i < pipes_.size(); ++i) {
            const double D = 2 * S[i] * std::max(std::abs(G_[i]), floor);
            for (const Passage& a : passages_[i]) {
                for (const Passage& b : passages_[i]) J[a.loop][b.loop] += D * a.sign * b.sign;
            }
        }
        const std::vector<double> correction = solveDense(std::move(J), r);
        std::vector<double> before(loops);
        for (std::size_t k = 0; k < loops; ++k) before[k] = G_[chords_[k]];
        // The whole step where it lessens the largest residual, else half of it, and so on.
        double scale = 1;
        for (int halving = 0; halving < 30; ++halving, scale /= 2) {
            for (std::size_t k = 0; k < loops; ++k) G_[chords_[k]] = before[k] + scale * correction[k];
            forestFlows(out);
            forestPressures(S);
            const double now = largestResidual(S);
            if (now < largest || halving == 29) {
                largest = now;
                break;
            }
        }
    }
}

}  // namespace dorvent
