#include "survey/Reduction.h"

#include <cmath>
#include <numbers>

namespace survey {

Coordinates Reduce(const ReductionSettings& settings, const Setup& setup, const Observation& observation) {
  const double s = observation.slopeDistance;
  const double r = settings.earthRadius;
  double zenith = settings.verticalFromHorizon ? std::numbers::pi / 2 - observation.vertical : observation.vertical;
  if (settings.curvatureAndRefraction && !observation.corrected) {
    // The line of sight bends with refraction and the earth curves away below it:
    // zenith corrected by (1 − k)·S/2R, toward the zenith on face 1, away on face 2.
    const double c = (1 - settings.refractionK) * s / (2 * r);
    zenith += zenith < std::numbers::pi ? -c : c;
  }
  double horizontalDistance = s * std::sin(zenith);  // D = S·sin Z
  const double heightDifference = s * std::cos(zenith);  // V = S·cos Z

  Coordinates point;
  if (setup.elevation) {
    // elevation = station elevation + instrument height + V − target height
    if (observation.corrected) {
      point.elevation = *setup.elevation + heightDifference;
    } else if (setup.instrumentHeight && observation.targetHeight) {
      point.elevation = *setup.elevation + *setup.instrumentHeight + heightDifference - *observation.targetHeight;
    }
  }
  if (settings.seaLevel && setup.elevation && point.elevation) {
    // To sea level: D − (h1 + h2)·D/2R
    horizontalDistance -= (*setup.elevation + *point.elevation) * horizontalDistance / (2 * r);
  }
  horizontalDistance *= settings.scaleFactor;
  // azimuth = horizontal reading + orientation
  const double azimuth = observation.corrected ? observation.horizontal : observation.horizontal + setup.orientation;
  point.north = setup.north + horizontalDistance * std::cos(azimuth);
  point.east = setup.east + horizontalDistance * std::sin(azimuth);
  return point;
}

double AzimuthBetween(double fromNorth, double fromEast, double toNorth, double toEast) {
  return std::atan2(toEast - fromEast, toNorth - fromNorth);
}

}  // namespace survey
