#pragma once

namespace CoreLocation {

using CLLocationDegrees = double;

// Swift's CLLocation, reduced to what a photo's metadata keeps: a coordinate. Immutable.
class CLLocation {
 public:
  CLLocation(CLLocationDegrees latitude, CLLocationDegrees longitude)
      : latitude_(latitude), longitude_(longitude) {}
  CLLocationDegrees latitude() const { return latitude_; }
  CLLocationDegrees longitude() const { return longitude_; }

 private:
  CLLocationDegrees latitude_;
  CLLocationDegrees longitude_;
};

}  // namespace CoreLocation
