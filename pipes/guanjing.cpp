#include "pipes/guanjing.h"

#include <algorithm>

#include "numtext/formatnumber.h"

namespace dorvent {

const PipeSize* findCatalogueRow(double dn)
{
    const auto row = std::find_if(guanjing.begin(), guanjing.end(),
                                  [dn](const PipeSize& pipe) { return static_cast<double>(pipe.dn) == dn; });
    return row == guanjing.end() ? nullptr : &*row;
}

std::string dnText(const PipeSize& pipe) { return "DN" + formatFixed(pipe.dn, 0); }
std::string waijingText(const PipeSize& pipe) { return formatShortest(pipe.waijing); }
std::string bihouText(const PipeSize& pipe) { return formatShortest(pipe.bihou); }

}  // namespace dorvent
