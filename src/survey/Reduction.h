#pragma once

#include <optional>

// The reduction of a total station's observation to coordinates, as the instrument
// maker's manual computes it. Angles are radians and distances the job's unit here:
// the job reader converts every reading once, where it reads the job's settings.
namespace survey {

// The mean radius of the earth, in metres, for curvature, refraction and sea level.
inline constexpr double kEarthRadiusMetres = 6370000.0;

// How a job's observations are reduced.
struct ReductionSettings {
  double earthRadius = kEarthRadiusMetres;  // in the job's distance unit
  bool verticalFromHorizon = false;         // vertical readings measured up from the horizon
  bool curvatureAndRefraction = false;
  double refractionK = 0.14;
  bool seaLevel = false;
  double scaleFactor = 1.0;
};

// The instrument station of a setup, as it stands when the observation is reduced.
struct Setup {
  double north = 0, east = 0;
  std::optional<double> elevation;         // none: the points get none either
  std::optional<double> instrumentHeight;  // none: its field held no number
  double orientation = 0;                  // backsight azimuth − backsight circle reading
};

struct Observation {
  double slopeDistance = 0;
  double vertical = 0;    // as read: a zenith angle, or from the horizon
  double horizontal = 0;  // the circle reading; for a corrected one the azimuth
  bool corrected = false;  // MC: a mean with its heights folded in, already an azimuth
  std::optional<double> targetHeight;  // none: its field held no number
};

struct Coordinates {
  double north = 0, east = 0;
  std::optional<double> elevation;
};

Coordinates Reduce(const ReductionSettings& settings, const Setup& setup, const Observation& observation);

// The azimuth from one point to another, in radians.
double AzimuthBetween(double fromNorth, double fromEast, double toNorth, double toEast);

}  // namespace survey
