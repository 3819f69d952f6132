#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "CoreGraphics/CGGeometry.hpp"
#include "Foundation/Clock.hpp"
#include "QuartzCore/CAAnimation.hpp"
#include "QuartzCore/CATransform3D.hpp"
#include "QuartzCore/CAValue.hpp"
#include "QuartzCore/CGColor.hpp"

namespace QuartzCore {

// A layer: geometry, look and sublayers, with animations attached by key. The anchor point is
// the centre. Sublayers are owned by their superlayer; the way up is not owning.
// Main thread only, as on the platform.
class CALayer : public std::enable_shared_from_this<CALayer> {
 public:
  CALayer() = default;
  virtual ~CALayer();
  CALayer(const CALayer&) = delete;
  CALayer& operator=(const CALayer&) = delete;

  // Geometry.
  CGRect frame() const;
  void setFrame(CGRect frame);
  CGRect bounds() const { return bounds_; }
  void setBounds(CGRect bounds) { bounds_ = bounds; }
  CGPoint position() const { return position_; }
  void setPosition(CGPoint position) { position_ = position; }

  // Look.
  std::optional<std::string> name;
  CGFloat zPosition = 0;
  float opacity = 1;
  bool isHidden = false;
  std::optional<CGColor> backgroundColor;
  CGFloat cornerRadius = 0;
  bool masksToBounds = false;
  CGFloat borderWidth = 0;
  std::optional<CGColor> borderColor;
  // Not reflected in the frame, as on the platform.
  CATransform3D transform = CATransform3DIdentity;

  // Tree.
  std::shared_ptr<CALayer> superlayer() const;
  // Empty when there are none (the platform's nil).
  const std::vector<std::shared_ptr<CALayer>>& sublayers() const { return sublayers_; }
  // Topmost; a layer that has another superlayer leaves it first.
  void addSublayer(const std::shared_ptr<CALayer>& layer);
  void insertSublayer(const std::shared_ptr<CALayer>& layer, std::size_t index);
  void removeFromSuperlayer();
  // The layer whose opacity cuts this one; owned by it.
  const std::shared_ptr<CALayer>& mask() const { return mask_; }
  void setMask(std::shared_ptr<CALayer> mask);

  // Swift `convert(_:from:)` and `convert(_:to:)` between layers of one tree (null: its
  // root's coordinates). Transforms are not applied.
  CGPoint convertPointFrom(CGPoint point, const CALayer* layer) const;
  CGPoint convertPointTo(CGPoint point, const CALayer* layer) const;
  // Swift `contains(_:)`: the point, in this layer's coordinates, lies inside its bounds.
  virtual bool contains(CGPoint point) const;

  // Animations. A copy of `animation` is attached; an absent key never replaces another.
  // Its stop comes on the main queue when its begin time and duration have passed on the
  // process clock; inside a CATransaction it takes the transaction's duration and timing
  // when it has none of its own.
  void add(const std::shared_ptr<CAAnimation>& animation, std::optional<std::string> key);
  std::shared_ptr<CAAnimation> animation(std::string_view key) const;
  std::vector<std::string> animationKeys() const;
  // Every attached animation, keyed or not, in the order they were added.
  std::vector<std::shared_ptr<CAAnimation>> allAnimations() const;
  void removeAnimation(std::string_view key);
  void removeAllAnimations();

  // The model value of a key path ("opacity", "position", "bounds", "cornerRadius", ...).
  virtual std::optional<CAValue> valueForKeyPath(std::string_view keyPath) const;
  // What is on screen now: the model value as the attached animations change it.
  std::optional<CAValue> presentationValue(std::string_view keyPath) const;

 private:
  struct Attached {
    std::uint64_t id = 0;
    std::optional<std::string> key;
    std::shared_ptr<CAAnimation> animation;
    Foundation::TimeInterval begin = 0;
    bool finished = false;
  };

  void finish(std::uint64_t id);
  CGPoint toRoot(CGPoint point) const;
  CGPoint fromRoot(CGPoint point) const;
  void detach(std::vector<Attached>::iterator it);

  CGRect bounds_;
  CGPoint position_;
  CALayer* superlayer_ = nullptr;  // cleared by the superlayer when it lets go
  std::vector<std::shared_ptr<CALayer>> sublayers_;
  std::shared_ptr<CALayer> mask_;
  std::vector<Attached> animations_;
};

}  // namespace QuartzCore
