#pragma once

#include <concepts>
#include <memory>
#include <optional>
#include <string>
#include <type_traits>
#include <typeinfo>
#include <utility>

namespace ZentrelSDK {

// The network failures the kit reports, each with its fixed English text.
class ZTNetworkError {
 public:
  enum class Case {
    statusCodeIsNot200,
    wrongURL,
    cannotEncodeParameters,
    responseIsNil,
    cannotEncodeBody,
    decodingError,
    errorWhileDecoding,
    unauthorized,
    dataIsEmpty,
    noRedirectManager,
  };

  static ZTNetworkError statusCodeIsNot200(int otherCode) {
    return ZTNetworkError(Case::statusCodeIsNot200, otherCode);
  }
  static ZTNetworkError wrongURL() { return ZTNetworkError(Case::wrongURL); }
  static ZTNetworkError cannotEncodeParameters() {
    return ZTNetworkError(Case::cannotEncodeParameters);
  }
  static ZTNetworkError responseIsNil() { return ZTNetworkError(Case::responseIsNil); }
  static ZTNetworkError cannotEncodeBody() { return ZTNetworkError(Case::cannotEncodeBody); }
  static ZTNetworkError decodingError() { return ZTNetworkError(Case::decodingError); }
  static ZTNetworkError errorWhileDecoding() { return ZTNetworkError(Case::errorWhileDecoding); }
  static ZTNetworkError unauthorized() { return ZTNetworkError(Case::unauthorized); }
  static ZTNetworkError dataIsEmpty() { return ZTNetworkError(Case::dataIsEmpty); }
  static ZTNetworkError noRedirectManager() { return ZTNetworkError(Case::noRedirectManager); }

  Case kind() const { return kind_; }
  // The status of statusCodeIsNot200, absent for every other case.
  std::optional<int> otherCode() const { return otherCode_; }

  std::string description() const;
  // What callers show; the same text as description().
  std::string localizedDescription() const { return description(); }

  bool operator==(const ZTNetworkError&) const = default;

 private:
  explicit ZTNetworkError(Case kind, std::optional<int> otherCode = std::nullopt)
      : kind_(kind), otherCode_(otherCode) {}

  Case kind_;
  std::optional<int> otherCode_;
};

template <class E>
concept ErrorValue = std::equality_comparable<E> && requires(const E& e) {
  { e.localizedDescription() } -> std::convertible_to<std::string>;
};

// Any failure handed to a callback, as Swift's `Error`: it keeps the original value (test it
// with as<T>() or is<T>()) and gives its localized description.
class Error {
 public:
  // Error itself is excluded first: asking whether Error is an ErrorValue would ask again
  // whether Error compares equal to Error, through these very templates.
  template <class E>
  requires(!std::is_same_v<std::decay_t<E>, Error> && ErrorValue<std::decay_t<E>>)
      Error(E error)  // NOLINT: implicit, as in Swift
      : box_(std::make_shared<Model<std::decay_t<E>>>(std::move(error))) {}

  std::string localizedDescription() const { return box_->localizedDescription(); }

  template <class E>
  const E* as() const {
    if (box_->type() != typeid(E)) return nullptr;
    return &static_cast<const Model<E>&>(*box_).value;
  }
  template <class E>
  bool is() const {
    return as<E>() != nullptr;
  }

  bool operator==(const Error& other) const { return box_->equals(*other.box_); }
  template <class E>
  requires(!std::is_same_v<E, Error> && ErrorValue<E>) bool operator==(const E& other) const {
    const E* mine = as<E>();
    return mine && *mine == other;
  }

 private:
  struct Concept {
    virtual ~Concept() = default;
    virtual std::string localizedDescription() const = 0;
    virtual const std::type_info& type() const = 0;
    virtual bool equals(const Concept& other) const = 0;
  };
  template <class E>
  struct Model final : Concept {
    explicit Model(E v) : value(std::move(v)) {}
    std::string localizedDescription() const override { return value.localizedDescription(); }
    const std::type_info& type() const override { return typeid(E); }
    bool equals(const Concept& other) const override {
      return other.type() == typeid(E) && static_cast<const Model&>(other).value == value;
    }
    E value;
  };

  std::shared_ptr<const Concept> box_;
};

}  // namespace ZentrelSDK
