// Objects, components with ownership, string lists and bound-method events.
// Qt-free. Components are used on one thread only (the GUI thread).
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <type_traits>
#include <utility>
#include <vector>

#include "vcl/SysUtils.h"
#include "vcl/Types.h"

/// Root of the class hierarchy; polymorphic so that `Sender` can be tested
/// with dynamic_cast.
class TObject {
 public:
  TObject() = default;
  TObject(const TObject&) = delete;
  TObject& operator=(const TObject&) = delete;
  virtual ~TObject() = default;
};

/// Base of objects that a form description can configure.
class TPersistent : public TObject {};

/// An event: an object with a member function bound to it, empty by default.
/// Parameters follow the class library's order, `Sender` first; results go
/// back through reference parameters that the caller presets.
///   TNotifyEvent OnClick;  OnClick = Bind(this, &TForm1::Button1Click);
///   if (OnClick.Assigned()) OnClick(this);
/// Calling an empty event does nothing. Any callable can be bound too (tests:
/// `OnClick = [&](TObject*) { ++clicks; };`).
template <class... A>
class TMethodEvent {
 public:
  TMethodEvent() = default;
  TMethodEvent(std::nullptr_t) {}
  template <class F>
    requires(!std::is_same_v<std::decay_t<F>, TMethodEvent> &&
             !std::is_same_v<std::decay_t<F>, std::nullptr_t> && std::is_invocable_v<F&, A...>)
  TMethodEvent(F&& Fn) : FFn(std::forward<F>(Fn)) {}

  /// Binds Obj's member Method. Obj must outlive the binding.
  template <class O, class C>
    requires std::is_base_of_v<C, O>
  TMethodEvent(O* Obj, void (C::*Method)(A...))
      : FFn([Obj, Method](A... a) { (static_cast<C*>(Obj)->*Method)(std::forward<A>(a)...); }),
        FData(Obj) {}

  bool Assigned() const { return static_cast<bool>(FFn); }
  explicit operator bool() const { return Assigned(); }
  /// Raises the event; nothing happens when it is empty. Exceptions of the
  /// handler pass to the caller.
  void operator()(A... a) const {
    if (FFn) FFn(std::forward<A>(a)...);
  }
  /// The bound object of a member binding, else null.
  const void* Data() const { return FData; }

 private:
  std::function<void(A...)> FFn;
  const void* FData = nullptr;
};

/// Makes an event from an object and one of its member functions:
/// `Bind(this, &TForm1::FormClose)`.
template <class O, class C, class... A>
  requires std::is_base_of_v<C, O>
TMethodEvent<A...> Bind(O* Obj, void (C::*Method)(A...)) {
  return TMethodEvent<A...>(Obj, Method);
}

/// `void(TObject* Sender)`.
using TNotifyEvent = TMethodEvent<TObject*>;

enum TShiftStateFlag { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
/// Modifier keys and mouse buttons held during an input event.
using TShiftState = TSet<TShiftStateFlag>;

enum TComponentStateFlag {
  csLoading,     ///< the form description is being applied to it
  csDestroying,  ///< its destruction has begun; it raises no more events
  csDesigning,   ///< never set: there is no designer
};
using TComponentState = TSet<TComponentStateFlag>;

/// A named object with an owner. The owner destroys the components it owns
/// when it is destroyed (newest first); a component destroyed earlier leaves
/// its owner's list by itself.
class TComponent : public TPersistent {
 public:
  /// Owner may be null; otherwise the new component joins Owner's list.
  explicit TComponent(TComponent* AOwner);
  ~TComponent() override;

  String GetName() const { return FName; }
  void SetName(const String& Value) { FName = Value; }
  TComponent* GetOwner() const { return FOwner; }
  int GetComponentCount() const { return static_cast<int>(FComponents.size()); }
  TComponent* GetComponent(int Index) const;
  TComponentState GetComponentState() const { return FState; }

  /// The component's name, as set by the form description.
  TProperty<TComponent, String, &TComponent::GetName, &TComponent::SetName> Name{this};
  TProperty<TComponent, TComponent*, &TComponent::GetOwner> Owner{this};
  TProperty<TComponent, int, &TComponent::GetComponentCount> ComponentCount{this};
  TProperty<TComponent, TComponentState, &TComponent::GetComponentState> ComponentState{this};

  /// The owned component named Name (case-insensitive), else null.
  TComponent* FindComponent(const String& AName) const;
  /// Destroys every owned component, newest first.
  void DestroyComponents();
  /// Marks this component and everything it owns as being destroyed, so
  /// that no more events are raised.
  void Destroying();

  /// The class name that the form description names ("TButton").
  virtual String ClassName() const { return "TComponent"; }

  /// Called after the form description has set every property of the whole
  /// form, with csLoading still set; overrides call the base first.
  virtual void Loaded();

  /// Used by the description reader: sets or clears csLoading on this
  /// component.
  void SetLoading(bool Value);

 private:
  TComponent* FOwner = nullptr;
  String FName;
  std::vector<TComponent*> FComponents;
  TComponentState FState;
};

/// A list of strings. The base works through the virtual accessors, so a
/// control can keep its items in its own widget (TComboBox::Items).
class TStrings : public TPersistent {
 public:
  virtual int GetCount() const = 0;
  virtual String Get(int Index) const = 0;
  virtual void Put(int Index, const String& S) = 0;
  virtual void Insert(int Index, const String& S) = 0;
  virtual void Delete(int Index) = 0;
  virtual void Clear() = 0;

  TProperty<TStrings, int, &TStrings::GetCount> Count{this};
  /// Item Index; throws EStringListError-style Exception "List index out of
  /// bounds (n)" outside 0..Count-1 (as do Put and Delete).
  String operator[](int Index) const { return Get(Index); }

  /// Appends S; returns its index.
  int Add(const String& S);
  /// Index of the first item equal to S (case-insensitive), or -1.
  int IndexOf(const String& S) const;
  /// Replaces the items with Other's.
  void Assign(const TStrings& Other);
  /// The items joined, each followed by "\r\n".
  String GetText() const;
  /// Replaces the items by the lines of Text (CR, LF or CRLF ends).
  void SetText(const String& Text);
  std::vector<String> ToVector() const;
};

/// The plain string list.
class TStringList : public TStrings {
 public:
  TStringList() = default;
  int GetCount() const override { return static_cast<int>(FItems.size()); }
  String Get(int Index) const override;
  void Put(int Index, const String& S) override;
  void Insert(int Index, const String& S) override;
  void Delete(int Index) override;
  void Clear() override { FItems.clear(); }

 private:
  std::vector<String> FItems;
};
