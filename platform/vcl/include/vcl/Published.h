// What a form description can reach: the registry of component classes with
// their published properties and events, and the values the description
// gives them. GUI thread only (registration may also run before main).
#pragma once

#include <functional>
#include <initializer_list>
#include <limits>
#include <memory>
#include <type_traits>
#include <typeindex>
#include <utility>
#include <vector>

#include "vcl/Classes.h"

class TForm;

/// One value of a form description.
struct TPropValue {
  enum TKind {
    vkInteger,  ///< 12, -11, $1F
    vkFloat,    ///< 1.5, -999999999.000000, 1E10
    vkString,   ///< 'text', #13#10, 'a' + 'b' (UTF-8 in Str)
    vkIdent,    ///< True, clBtnFace, Button1Click (in Str)
    vkSet,      ///< [fsBold, fsItalic] (members in Names)
    vkList,     ///< ( 'a' 'b' ) or ( 1 2 ) (values in Items)
    vkBinary,   ///< { 0A1B } (bytes in Str)
  };
  TKind Kind = vkInteger;
  long long Int = 0;
  Extended Float = 0;
  String Str;
  std::vector<String> Names;
  std::vector<TPropValue> Items;
  int Line = 0;  ///< line of the description, for messages

  // Typed reads; each throws EReadError naming the expected kind.
  long long AsInteger() const;          ///< vkInteger
  Extended AsFloat() const;             ///< vkInteger or vkFloat
  const String& AsString() const;       ///< vkString
  bool AsBool() const;                  ///< identifier True or False (any case)
  const String& AsIdent() const;        ///< vkIdent
  std::vector<String> AsStrings() const;  ///< vkList of strings (empty "()" too)
  /// Kind's name for messages ("integer", "string", ...).
  static const char* KindName(TKind Kind);
};

/// A reference to a form's handler, passed to an event's binder.
struct THandlerEntry {
  String Name;
  /// typeid of the TMethodEvent<...> the handler fits.
  std::type_index Type = typeid(void);
  /// Text of the signature for messages.
  String Signature;
  /// Stores the bound handler of Form into *Event (a TMethodEvent of Type).
  std::function<void(TForm& Form, void* Event)> Bind;
};

/// The published part of one component class: how to create it, and its
/// properties and events by name. Names compare case-insensitively. Entries
/// of the parent class (by name) are inherited; a derived entry of the same
/// name hides the parent's.
struct TClassInfo {
  using TFactory = std::function<TComponent*(TComponent* Owner)>;
  using TSetter = std::function<void(TComponent& Target, const TPropValue& Value)>;
  /// Binds Handler to the event of Target; throws EReadError when the
  /// handler's signature does not fit.
  using TBinder = std::function<void(TComponent& Target, TForm& Form, const THandlerEntry& Handler)>;

  String Name;
  String ParentName;
  TFactory Factory;  ///< null: not creatable from a description (e.g. TForm)
  std::vector<std::pair<String, TSetter>> Properties;
  std::vector<std::pair<String, TBinder>> Events;
};

/// Adds Info to the registry, replacing a class of the same name.
void RegisterClassInfo(TClassInfo Info);
/// The registered class Name, or null. The layer's own classes (TForm,
/// TEdit, TButton, TComboBox, TLabel, TBevel, TTimer, TCustomEdit, ...) are
/// always registered.
const TClassInfo* FindClassInfo(const String& Name);
/// The setter of property Name (dotted names like "Font.Height" are single
/// entries) of class ClassName or its parents, or null.
const TClassInfo::TSetter* FindPropertySetter(const String& ClassName, const String& Name);
const TClassInfo::TBinder* FindEventBinder(const String& ClassName, const String& Name);
/// Whether ClassName is Base or derives from it by the registry's parents.
bool ClassInheritsFrom(const String& ClassName, const String& Base);

namespace vcl_detail {
template <class T>
T ValueAs(const TPropValue& V) {
  if constexpr (std::is_same_v<T, bool>) {
    return V.AsBool();
  } else if constexpr (std::is_integral_v<T>) {
    long long x = V.AsInteger();
    if (x < static_cast<long long>(std::numeric_limits<T>::min()) ||
        (x > 0 && static_cast<unsigned long long>(x) > static_cast<unsigned long long>(std::numeric_limits<T>::max())))
      throw EReadError("integer " + IntToStr(x) + " out of range");
    return static_cast<T>(x);
  } else if constexpr (std::is_floating_point_v<T>) {
    return static_cast<T>(V.AsFloat());
  } else {
    static_assert(std::is_same_v<T, String>, "publish enums with Enum(), others with a lambda");
    return V.AsString();
  }
}
template <class... A>
String SignatureText();
}  // namespace vcl_detail

/// Builds the published part of class C and registers it:
///   TPublishedClass<TFloatEdit>("TFloatEdit", "TCustomEdit")
///       .Enum("Format", &TFloatEdit::SetFormat, {{"ffGeneral", ffGeneral}, ...})
///       .Property("Digits", &TFloatEdit::SetDigits)      // setter: int-like, bool, float, String
///       .Field("MinMaxCheck", &TFloatEdit::MinMaxCheck)  // plain data member
///       .Event("OnChanged", &TFloatEdit::OnChanged)
///       .Register();
/// The factory defaults to `new C(Owner)`.
template <class C>
class TPublishedClass {
 public:
  TPublishedClass(const String& ClassName, const String& ParentClassName) {
    FInfo.Name = ClassName;
    FInfo.ParentName = ParentClassName;
    if constexpr (std::is_constructible_v<C, TComponent*>)
      FInfo.Factory = [](TComponent* Owner) -> TComponent* { return new C(Owner); };
  }
  /// The general form: Apply reads the value as it needs.
  TPublishedClass& Property(const String& Name, std::function<void(C&, const TPropValue&)> Apply) {
    FInfo.Properties.emplace_back(Name, [Apply](TComponent& T, const TPropValue& V) {
      Apply(dynamic_cast<C&>(T), V);
    });
    return *this;
  }
  template <class B, class T>
    requires std::is_base_of_v<B, C>
  TPublishedClass& Property(const String& Name, void (B::*Setter)(T)) {
    using V = std::remove_cvref_t<T>;
    return Property(Name, [Setter](C& c, const TPropValue& v) { (c.*Setter)(vcl_detail::ValueAs<V>(v)); });
  }
  template <class B, class T>
    requires(std::is_base_of_v<B, C> && !std::is_function_v<T>)
  TPublishedClass& Field(const String& Name, T B::*Member) {
    return Property(Name, [Member](C& c, const TPropValue& v) { c.*Member = vcl_detail::ValueAs<T>(v); });
  }
  /// An enumeration read from identifiers.
  template <class B, class E>
    requires(std::is_base_of_v<B, C> && std::is_enum_v<E>)
  TPublishedClass& Enum(const String& Name, void (B::*Setter)(E),
                        std::initializer_list<std::pair<const char*, E>> Idents) {
    std::vector<std::pair<String, E>> table(Idents.begin(), Idents.end());
    return Property(Name, [Setter, table](C& c, const TPropValue& v) {
      const String& id = v.AsIdent();
      for (const auto& [n, e] : table)
        if (SameText(n, id)) return (c.*Setter)(e);
      throw EReadError("invalid value '" + id + "'");
    });
  }
  /// An event field bound to the form's handler named by the description.
  template <class B, class... A>
    requires std::is_base_of_v<B, C>
  TPublishedClass& Event(const String& Name, TMethodEvent<A...> B::*Member) {
    FInfo.Events.emplace_back(Name, [Member, Name](TComponent& T, TForm& Form, const THandlerEntry& H) {
      if (H.Type != std::type_index(typeid(TMethodEvent<A...>)))
        throw EReadError("handler '" + H.Name + "' " + H.Signature + " does not fit event " + Name + " " +
                         vcl_detail::SignatureText<A...>());
      H.Bind(Form, &(dynamic_cast<C&>(T).*Member));
    });
    return *this;
  }
  /// Adds the class to the registry (replacing one of the same name).
  void Register() { RegisterClassInfo(FInfo); }
  const TClassInfo& Info() const { return FInfo; }

 private:
  TClassInfo FInfo;
};

namespace vcl_detail {
String TypeText(const std::type_info& Type);
template <class... A>
String SignatureText() {
  String s = "(";
  bool first = true;
  ((s += (first ? "" : ", ") + TypeText(typeid(A)) + (std::is_reference_v<A> ? "&" : ""), first = false), ...);
  return s + ")";
}
}  // namespace vcl_detail
