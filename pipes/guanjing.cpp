#include "pipes/guanjing.h"

#include "numtext/formatnumber.h"

namespace dorvent {

std::string dnText(const PipeSize& pipe) { return "DN" + formatFixed(pipe.dn, 0); }
std::string waijingText(const PipeSize& pipe) { return formatShortest(pipe.waijing); }
std::string bihouText(const PipeSize& pipe) { return formatShortest(pipe.bihou); }

}  // namespace dorvent
