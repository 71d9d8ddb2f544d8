#pragma once

namespace dorvent::bench {

/// Region 2 the textbook way, as a yardstick for quyu2: std::pow for every power and one full
/// pass over the terms for each derivative.
void naiveRegion2(double T, double p, double& v, double& h, double& cp);

}  // namespace dorvent::bench
