// Components with ownership; string lists.
#include "vcl/Classes.h"

#include <algorithm>

#include "Lines.h"

TComponent::TComponent(TComponent* AOwner) : FOwner(AOwner) {
  if (FOwner) FOwner->FComponents.push_back(this);
}

TComponent::~TComponent() {
  Destroying();
  DestroyComponents();
  if (FOwner) {
    auto& list = FOwner->FComponents;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
  }
}

TComponent* TComponent::GetComponent(int Index) const {
  if (Index < 0 || Index >= GetComponentCount())
    throw Exception("List index out of bounds (" + IntToStr(Index) + ")");
  return FComponents[static_cast<size_t>(Index)];
}

TComponent* TComponent::FindComponent(const String& AName) const {
  if (AName.empty()) return nullptr;
  for (TComponent* c : FComponents)
    if (SameText(c->FName, AName)) return c;
  return nullptr;
}

void TComponent::DestroyComponents() {
  // Each destructor removes itself from FComponents.
  while (!FComponents.empty()) {
    TComponent* c = FComponents.back();
    c->Destroying();
    delete c;
  }
}

void TComponent::Destroying() {
  if (FState.Contains(csDestroying)) return;
  FState << csDestroying;
  for (TComponent* c : FComponents) c->Destroying();
}

void TComponent::Loaded() {}

void TComponent::SetLoading(bool Value) {
  if (Value)
    FState << csLoading;
  else
    FState >> csLoading;
}

// ---- TStrings ------------------------------------------------------------

int TStrings::Add(const String& S) {
  int index = GetCount();
  Insert(index, S);
  return index;
}

int TStrings::IndexOf(const String& S) const {
  for (int i = 0, n = GetCount(); i < n; ++i)
    if (SameText(Get(i), S)) return i;
  return -1;
}

void TStrings::Assign(const TStrings& Other) {
  if (&Other == this) return;
  std::vector<String> items = Other.ToVector();
  Clear();
  for (const String& s : items) Add(s);
}

String TStrings::GetText() const {
  String s;
  for (int i = 0, n = GetCount(); i < n; ++i) s += Get(i) + "\r\n";
  return s;
}

void TStrings::SetText(const String& Text) {
  Clear();
  for (const String& line : vcl_detail::SplitLines(Text)) Add(line);
}

std::vector<String> TStrings::ToVector() const {
  std::vector<String> v;
  for (int i = 0, n = GetCount(); i < n; ++i) v.push_back(Get(i));
  return v;
}

// ---- TStringList ---------------------------------------------------------

namespace {
[[noreturn]] void IndexError(int Index) { throw Exception("List index out of bounds (" + IntToStr(Index) + ")"); }
}  // namespace

String TStringList::Get(int Index) const {
  if (Index < 0 || Index >= GetCount()) IndexError(Index);
  return FItems[static_cast<size_t>(Index)];
}

void TStringList::Put(int Index, const String& S) {
  if (Index < 0 || Index >= GetCount()) IndexError(Index);
  FItems[static_cast<size_t>(Index)] = S;
}

void TStringList::Insert(int Index, const String& S) {
  if (Index < 0 || Index > GetCount()) IndexError(Index);
  FItems.insert(FItems.begin() + Index, S);
}

void TStringList::Delete(int Index) {
  if (Index < 0 || Index >= GetCount()) IndexError(Index);
  FItems.erase(FItems.begin() + Index);
}
