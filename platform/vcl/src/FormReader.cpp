// Building a form from its description: components by class name,
// properties in the order given, fields and handlers through the form table.
#include <map>
#include <set>

#include "FormText.h"
#include "QtBridge.h"
#include "vcl/Forms.h"

using namespace vcl_detail;

// ---- description registry --------------------------------------------------

namespace {

struct TDescription {
  String Source;
  String Text;
};

std::vector<TDescription>& Descriptions() {
  static auto* list = new std::vector<TDescription>();  // lives as long as the process
  return *list;
}

}  // namespace

TFormDescriptionRegistrar::TFormDescriptionRegistrar(const char* Source, const char* Text) {
  Descriptions().push_back({Source ? Source : "", Text ? Text : ""});
}

bool FindFormDescription(const String& ClassName, String& Text, String& Source) {
  for (const TDescription& d : Descriptions())
    if (SameText(FormTextClassName(d.Text), ClassName)) {
      Text = d.Text;
      Source = d.Source;
      return true;
    }
  return false;
}

// ---- form table ------------------------------------------------------------

const TFormTable::TFieldEntry* TFormTable::FindField(const String& Name) const {
  for (const TFieldEntry& f : FFields)
    if (SameText(f.Name, Name)) return &f;
  return nullptr;
}

const THandlerEntry* TFormTable::FindHandler(const String& Name) const {
  for (const THandlerEntry& h : FHandlers)
    if (SameText(h.Name, Name)) return &h;
  return nullptr;
}

// ---- reader ----------------------------------------------------------------

namespace {

class TReader {
 public:
  TReader(TForm& AForm, const TFormTable& ATable, const String& ASource)
      : FForm(AForm), FTable(ATable), FSource(ASource) {}

  void Read(const TFormObject& Root) {
    if (!SameText(Root.ClassName, FTable.ClassName()))
      throw EReadError(FSource + "(" + std::to_string(Root.Line) + "): the description is of class " +
                       Root.ClassName + ", the form is " + FTable.ClassName());
    FForm.SetName(Root.Name);
    FForm.SetLoading(true);
    FCreated.push_back(&FForm);
    ApplyProperties(FForm, "TForm", Root);
    for (const TFormObject& child : Root.Children) Create(child, &FForm);
    for (const TFormTable::TFieldEntry& f : FTable.Fields())
      if (!FAssigned.count(Key(f.Name)))
        throw EReadError(FSource + ": form " + FTable.ClassName() + ": field " + f.Name + " (" + f.TypeName +
                         ") has no component in the description");
    for (TComponent* c : FCreated)
      if (auto* w = dynamic_cast<TWinControl*>(c)) w->UpdateTabOrder();
    // Components first, the form last, each with csLoading still set.
    for (size_t i = FCreated.size(); i-- > 1;) FCreated[i]->Loaded();
    FForm.Loaded();
    for (TComponent* c : FCreated) c->SetLoading(false);
  }

 private:
  static String Key(const String& s) {
    String k = s;
    for (char& c : k)
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return k;
  }

  String Where(int Line, const TFormObject& Obj) const {
    String s = FSource + "(" + std::to_string(Line) + "): form " + FTable.ClassName();
    if (&Obj != FRoot && !Obj.Name.empty()) s += ", component " + Obj.Name + " (" + Obj.ClassName + ")";
    return s;
  }

  void Create(const TFormObject& Obj, TWinControl* Parent) {
    const TClassInfo* info = FindClassInfo(Obj.ClassName);
    if (!info) throw EReadError(Where(Obj.Line, Obj) + ": class " + Obj.ClassName + " not found");
    if (!info->Factory)
      throw EReadError(Where(Obj.Line, Obj) + ": class " + Obj.ClassName + " cannot be created from a description");
    if (!Obj.Name.empty() && FNames.count(Key(Obj.Name)))
      throw EReadError(Where(Obj.Line, Obj) + ": a component named " + Obj.Name + " already exists");
    FNames.insert(Key(Obj.Name));
    TComponent* comp = info->Factory(&FForm);
    comp->SetLoading(true);
    comp->SetName(Obj.Name);
    FCreated.push_back(comp);
    if (auto* ctl = dynamic_cast<TControl*>(comp)) {
      if (!Parent) throw EReadError(Where(Obj.Line, Obj) + ": a control needs a windowed parent");
      ctl->SetParent(Parent);
    }
    if (!Obj.Name.empty())
      if (const TFormTable::TFieldEntry* f = FTable.FindField(Obj.Name)) {
        if (!f->Assign(FForm, comp))
          throw EReadError(Where(Obj.Line, Obj) + ": field " + f->Name + " is of class " + f->TypeName +
                           ", the component is " + Obj.ClassName);
        FAssigned.insert(Key(f->Name));
      }
    ApplyProperties(*comp, Obj.ClassName, Obj);
    auto* win = dynamic_cast<TWinControl*>(comp);
    for (const TFormObject& child : Obj.Children) {
      if (!win && dynamic_cast<TControl*>(comp))
        throw EReadError(Where(child.Line, child) + ": " + Obj.Name + " cannot hold controls");
      Create(child, win);
    }
  }

  void ApplyProperties(TComponent& Target, const String& ClassName, const TFormObject& Obj) {
    if (&Target == &FForm) FRoot = &Obj;
    for (const auto& [name, value] : Obj.Properties) {
      const String where = Where(value.Line, Obj) + ", property " + name;
      if (const TClassInfo::TBinder* bind = FindEventBinder(ClassName, name)) {
        if (value.Kind != TPropValue::vkIdent) throw EReadError(where + ": expected a handler name");
        const THandlerEntry* h = FTable.FindHandler(value.Str);
        if (!h) throw EReadError(where + ": " + FTable.ClassName() + " has no handler " + value.Str);
        try {
          (*bind)(Target, FForm, *h);
        } catch (const std::exception& e) {
          throw EReadError(where + ": " + e.what());
        }
        continue;
      }
      const TClassInfo::TSetter* set = FindPropertySetter(ClassName, name);
      if (!set) throw EReadError(where + ": no such property in " + ClassName);
      try {
        (*set)(Target, value);
      } catch (const std::exception& e) {
        throw EReadError(where + ": " + e.what());
      }
    }
  }

  TForm& FForm;
  const TFormTable& FTable;
  const String& FSource;
  const TFormObject* FRoot = nullptr;
  std::vector<TComponent*> FCreated;
  std::set<String> FAssigned;
  std::set<String> FNames;
};

}  // namespace

void TForm::ReadDescription(const TFormTable& Table, const String& Description, const String& Source) {
  FInDescription = true;
  try {
    TFormObject root = ParseFormText(Description, Source);
    TReader(*this, Table, Source).Read(root);
  } catch (...) {
    FInDescription = false;
    throw;
  }
  FInDescription = false;
  RunHandler(this, [this] { OnCreate(this); });
}
