// Basic types of the class library: strings, fixed-width integers, the 80-bit
// extended float, small sets and the property helper used by every class.
// Qt-free.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <limits>
#include <string>
#include <type_traits>

/// Text everywhere in the layer: UTF-8 bytes.
using String = std::string;
using Byte = std::uint8_t;
using Word = std::uint16_t;
using Cardinal = std::uint32_t;

/// The 80-bit x87 extended format: products and conversions of the panel are
/// formed in it, so a platform whose long double is anything else is refused.
using Extended = long double;
static_assert(std::numeric_limits<long double>::digits == 64,
              "Extended must be the 80-bit x87 format (64-bit mantissa)");

/// A set of enumerators (at most 32), as the class library's Set<> template:
/// `TMsgDlgButtons() << mbOK`, `Shift.Contains(ssShift)`.
template <class E>
class TSet {
  static_assert(std::is_enum_v<E>, "TSet holds enumerators");

 public:
  constexpr TSet() = default;
  constexpr TSet(std::initializer_list<E> Items) {
    for (E e : Items) FBits |= Bit(e);
  }
  /// Adds Item; returns the set, so that `<<` chains.
  constexpr TSet& operator<<(E Item) {
    FBits |= Bit(Item);
    return *this;
  }
  /// Removes Item.
  constexpr TSet& operator>>(E Item) {
    FBits &= ~Bit(Item);
    return *this;
  }
  constexpr bool Contains(E Item) const { return (FBits & Bit(Item)) != 0; }
  constexpr bool Empty() const { return FBits == 0; }
  constexpr void Clear() { FBits = 0; }
  /// The members as bits, bit n for the enumerator of value n.
  constexpr std::uint32_t ToInt() const { return FBits; }
  static constexpr TSet FromInt(std::uint32_t Bits) {
    TSet s;
    s.FBits = Bits;
    return s;
  }
  friend constexpr TSet operator+(TSet a, TSet b) { return FromInt(a.FBits | b.FBits); }
  friend constexpr TSet operator*(TSet a, TSet b) { return FromInt(a.FBits & b.FBits); }
  friend constexpr TSet operator-(TSet a, TSet b) { return FromInt(a.FBits & ~b.FBits); }
  friend constexpr bool operator==(TSet a, TSet b) { return a.FBits == b.FBits; }

 private:
  static constexpr std::uint32_t Bit(E e) { return std::uint32_t{1} << static_cast<unsigned>(e); }
  std::uint32_t FBits = 0;
};

/// A property in the style of the class library: `Edit1->Text = "Error."`,
/// `int x = Form1->Left;`. Reads call `(Self->*Getter)()`, writes call
/// `(Self->*Setter)(value)`; a property without a Setter is read-only.
/// Declared in the owning class as
///   TProperty<TControl, int, &TControl::GetLeft, &TControl::SetLeft> Left{this};
/// A property is neither copied nor moved; assigning one property to another
/// copies the value. `Get()` reads explicitly where a conversion is not
/// applied (member calls: `Edit1->Text.Get().size()`).
template <class C, class T, auto Getter, auto Setter = nullptr>
class TProperty {
  static constexpr bool kWritable = !std::is_null_pointer_v<decltype(Setter)>;

 public:
  explicit TProperty(C* Self) : FSelf(Self) {}
  TProperty(const TProperty&) = delete;

  T Get() const { return (FSelf->*Getter)(); }
  operator T() const { return Get(); }

  TProperty& operator=(const T& Value)
    requires kWritable
  {
    (FSelf->*Setter)(Value);
    return *this;
  }
  TProperty& operator=(const TProperty& Other)
    requires kWritable
  {
    return *this = Other.Get();
  }
  TProperty& operator+=(const T& Delta)
    requires(kWritable && std::is_arithmetic_v<T>)
  {
    return *this = static_cast<T>(Get() + Delta);
  }
  TProperty& operator-=(const T& Delta)
    requires(kWritable && std::is_arithmetic_v<T>)
  {
    return *this = static_cast<T>(Get() - Delta);
  }
  /// Member access through a pointer-valued property: `Font->Height = -11`.
  T operator->() const
    requires std::is_pointer_v<T>
  {
    return Get();
  }
  friend bool operator==(const TProperty& a, const T& b) { return a.Get() == b; }

 private:
  C* FSelf;
};
