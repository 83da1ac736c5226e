#pragma once

#include <string_view>

namespace survey {

// A point of an SDR job as Varnel writes it: the texts of its columns P, N, E, Z and D.
// P, N, E and Z hold no byte of code 0 to 32; D none at its ends. N and E are the
// record's own text, or a reduced observation's coordinates with three decimals; Z may
// be empty. The texts live until the next point is handed out.
struct JobPoint {
  std::string_view id, north, east, elevation, code;
  // The same columns as kept: 16 bytes each, blank-padded, in the order P, N, E, Z, D,
  // for writers that read them sixteen bytes at a time.
  const char* columns = nullptr;
  bool station = false;          // the job holds a station record (02 or 15) of it
  bool fromObservation = false;  // its coordinates come from a reduced observation
};

}  // namespace survey
