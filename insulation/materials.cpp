#include "insulation/materials.h"

#include <cmath>
#include <optional>

namespace dorvent::insulation {
namespace {

// GB 50264-2013 Appendix A (常用绝热材料性能), the materials a steam pipe is insulated with, in
// the table's order. Each equation is written as the table writes it: a piece per range of the
// mean temperature tm, with the temperature the table subtracts (e.g. "tm − 70") as `from`.
// The table's own text was not at hand; the equations and limits agree with the public
// implementations listed in docs/insulation.md.
constexpr std::array<Material, 7> kMaterials = {{
    // Calcium silicate, 170 kg/m³: λ = 0.0479 + 0.00010185 tm + 9.65015e-11 tm³, up to 550 ℃.
    {"硅酸钙", "170 kg/m³", 550, {{{kNoUpperEnd, 0, {0.0479, 0.00010185, 0, 9.65015e-11}}}}, 1},
    // Composite silicate, 60~80 kg/m³: λ = 0.043 + 0.00015 (tm − 70), up to 450 ℃.
    {"复合硅酸盐", "60~80 kg/m³", 450, {{{kNoUpperEnd, 70, {0.043, 0.00015, 0, 0}}}}, 1},
    // Rock wool, 60~100 kg/m³, up to 400 ℃:
    //   −20 ≤ tm ≤ 100: λ = 0.0337 + 0.000151 tm
    //   tm > 100:       λ = 0.0395 + 4.71e-5 tm + 5.03e-7 tm²
    // The two pieces do not meet at 100 ℃ (0.0488 and 0.0492); heatloss.cpp says what that
    // step does to a solve.
    {"岩棉", "60~100 kg/m³", 400,
     {{{100, 0, {0.0337, 0.000151, 0, 0}}, {kNoUpperEnd, 0, {0.0395, 4.71e-5, 5.03e-7, 0}}}}, 2},
    // Slag wool, 80~100 kg/m³: the rock-wool equations, up to 300 ℃.
    {"矿渣棉", "80~100 kg/m³", 300,
     {{{100, 0, {0.0337, 0.000151, 0, 0}}, {kNoUpperEnd, 0, {0.0395, 4.71e-5, 5.03e-7, 0}}}}, 2},
    // Glass wool, 48 kg/m³: λ = 0.041 + 0.00017 (tm − 70), up to 350 ℃.
    {"玻璃棉", "48 kg/m³", 350, {{{kNoUpperEnd, 70, {0.041, 0.00017, 0, 0}}}}, 1},
    // Aluminium silicate felt, up to 800 ℃:
    //   tm ≤ 400: λ = 0.044 + 0.0002 (tm − 70)
    //   tm > 400: λ = 0.044 + 0.0002 × 330 + 0.00036 (tm − 400)      (the two meet at 400 ℃)
    {"硅酸铝棉毡", "", 800,
     {{{400, 70, {0.044, 0.0002, 0, 0}}, {kNoUpperEnd, 400, {0.044 + 0.0002 * 330, 0.00036, 0, 0}}}}, 2},
    // Magnesium silicate fibre blanket: λ = 0.0397 − 2.741e-6 tm + 4.526e-7 tm², up to 700 ℃.
    {"硅酸镁纤维毯", "", 700, {{{kNoUpperEnd, 0, {0.0397, -2.741e-6, 4.526e-7, 0}}}}, 1},
}};

double evaluate(const ConductivityPiece& piece, double tm)
{
    const double x = tm - piece.from;
    return piece.c[0] + x * (piece.c[1] + x * (piece.c[2] + x * piece.c[3]));
}

double evaluateSlope(const ConductivityPiece& piece, double tm)
{
    const double x = tm - piece.from;
    return piece.c[1] + x * (2 * piece.c[2] + x * 3 * piece.c[3]);
}

// Where two pieces do not meet (rock wool's 0.0488 → 0.0492 at 100 ℃), λ goes from one to the
// other linearly over 5 ℃ on either side of the step. A step leaves two or no balances within a
// degree of it, and a pipe's sections, each solved at its own temperature, would then never agree
// on their loss; over 10 ℃ λ changes slowly enough for one balance, and by at most 0.8 %.
constexpr double kBlend = 5;

/// The step within kBlend of tm, as the index of the piece below it; none elsewhere.
std::optional<int> stepNear(const Material& material, double tm)
{
    for (int i = 0; i + 1 < material.pieceCount; ++i) {
        if (std::fabs(tm - material.pieces[i].upTo) < kBlend) return i;
    }
    return std::nullopt;
}

const ConductivityPiece& pieceAt(const Material& material, double tm)
{
    for (int i = 0; i + 1 < material.pieceCount; ++i)
        if (tm <= material.pieces[i].upTo) return material.pieces[i];
    return material.pieces[material.pieceCount - 1];
}

/// The least of a piece's polynomial over [low, high]: at an end or where its slope is zero.
double lowestOn(const ConductivityPiece& piece, double low, double high)
{
    double least = std::fmin(evaluate(piece, low), evaluate(piece, high));
    // Slope c1 + 2 c2 x + 3 c3 x² = 0, x = tm − from.
    const double a = 3 * piece.c[3], b = 2 * piece.c[2], c = piece.c[1];
    double roots[2];
    int count = 0;
    if (a == 0) {
        if (b != 0) roots[count++] = -c / b;
    } else if (const double d = b * b - 4 * a * c; d >= 0) {
        roots[count++] = (-b + std::sqrt(d)) / (2 * a);
        roots[count++] = (-b - std::sqrt(d)) / (2 * a);
    }
    for (int i = 0; i < count; ++i) {
        const double tm = roots[i] + piece.from;
        if (tm > low && tm < high) least = std::fmin(least, evaluate(piece, tm));
    }
    return least;
}

}  // namespace

double conductivitySlope(const Material& material, double tm)
{
    if (const auto step = stepNear(material, tm)) {
        const double at = material.pieces[*step].upTo;
        return (evaluate(material.pieces[*step + 1], at + kBlend) - evaluate(material.pieces[*step], at - kBlend)) / (2 * kBlend);
    }
    return evaluateSlope(pieceAt(material, tm), tm);
}

bool conductivityPositive(const Material& material, double low, double high)
{
    double from = -kNoUpperEnd;
    for (int i = 0; i < material.pieceCount; ++i) {
        const ConductivityPiece& piece = material.pieces[i];
        const double to = i + 1 < material.pieceCount ? piece.upTo : kNoUpperEnd;
        const double a = std::fmax(low, from), b = std::fmin(high, to);
        if (a <= b && !(lowestOn(piece, a, b) > 0)) return false;
        from = to;
    }
    return true;
}

double conductivity(const Material& material, double tm)
{
    if (const auto step = stepNear(material, tm)) {
        const double at = material.pieces[*step].upTo;
        const double low = evaluate(material.pieces[*step], at - kBlend), high = evaluate(material.pieces[*step + 1], at + kBlend);
        return low + (high - low) * (tm - (at - kBlend)) / (2 * kBlend);
    }
    return evaluate(pieceAt(material, tm), tm);
}

std::span<const Material> builtInMaterials() { return kMaterials; }

std::optional<Material> findMaterial(std::string_view name)
{
    for (const Material& m : kMaterials)
        if (m.name == name) return m;
    return std::nullopt;
}

Material ownMaterial(double a, double b, double c, double useUpTo)
{
    return {"自定义材料", "", useUpTo, {{{kNoUpperEnd, 0, {a, b, c, 0}}}}, 1};
}

}  // namespace dorvent::insulation
