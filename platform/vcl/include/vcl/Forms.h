// Forms, the form table that a form class publishes, and the application
// object. GUI thread only.
#pragma once

#include <cstddef>
#include <memory>
#include <typeindex>
#include <vector>

#include "vcl/Controls.h"
#include "vcl/Published.h"

enum TCloseAction { caNone, caHide, caFree, caMinimize };
/// `Sender, Action`: Action arrives preset to caHide.
using TCloseEvent = TMethodEvent<TObject*, TCloseAction&>;

/// What a form class publishes to its description: its component fields and
/// its handler methods, by name. A form class builds one in a static
/// function:
///   const TFormTable& TForm1::FormTable() {
///     static const TFormTable t = TFormTable("TForm1")
///         .Field("Button1", &TForm1::Button1)
///         .Handler("Button1Click", &TForm1::Button1Click)
///         .Handler("FormClose", &TForm1::FormClose);
///     return t;
///   }
/// On creation each component of the description whose name has a field is
/// stored there (the class must fit the field's type), every field must get
/// a component, and each event of the description names a handler here.
class TFormTable {
 public:
  struct TFieldEntry {
    String Name;
    String TypeName;
    /// Stores Component in Form's field; false when its class does not fit.
    std::function<bool(TForm& Form, TComponent* Component)> Assign;
  };

  explicit TFormTable(const String& AClassName) : FClassName(AClassName) {}

  template <class F, class T>
    requires(std::is_base_of_v<TForm, F> && std::is_base_of_v<TComponent, T>)
  TFormTable& Field(const String& Name, T* F::*Member) {
    FFields.push_back({Name, vcl_detail::TypeText(typeid(T)), [Member](TForm& Form, TComponent* C) {
                         T* typed = dynamic_cast<T*>(C);
                         F* form = dynamic_cast<F*>(&Form);
                         if (!typed || !form) return false;
                         form->*Member = typed;
                         return true;
                       }});
    return *this;
  }
  template <class F, class... A>
    requires std::is_base_of_v<TForm, F>
  TFormTable& Handler(const String& Name, void (F::*Method)(A...)) {
    FHandlers.push_back({Name, std::type_index(typeid(TMethodEvent<A...>)),
                         vcl_detail::SignatureText<A...>(), [Method, Name](TForm& Form, void* Event) {
                           F* form = dynamic_cast<F*>(&Form);
                           if (!form) throw EReadError("handler '" + Name + "' belongs to another form class");
                           *static_cast<TMethodEvent<A...>*>(Event) = TMethodEvent<A...>(form, Method);
                         }});
    return *this;
  }

  const String& ClassName() const { return FClassName; }
  /// Case-insensitive look-ups; null when absent.
  const TFieldEntry* FindField(const String& Name) const;
  const THandlerEntry* FindHandler(const String& Name) const;
  const std::vector<TFieldEntry>& Fields() const { return FFields; }

 private:
  String FClassName;
  std::vector<TFieldEntry> FFields;
  std::vector<THandlerEntry> FHandlers;
};

/// A top-level window. Left and Top are the screen position of the outer
/// frame, Width and Height its outer size. The client area is the outer size
/// less a fixed frame of the classic Windows look: FrameBorder (4 px) on the
/// left, right and bottom and FrameBorder + CaptionHeight (4 + 19 px) on top,
/// so 594 x 308 gives a client area of 586 x 281. Controls are placed in the
/// client area. Color defaults to clBtnFace.
///
/// Closing (Close(), the title-bar close box, Alt+F4): OnClose is raised with
/// Action preset to caHide. caNone keeps the form open; for the main form any
/// other action ends the application's event loop (the form stays until
/// the application frees it); for other forms caHide hides, caMinimize
/// minimises and caFree hides and destroys it through the event loop.
/// An exception from OnClose is shown by Application->HandleException and the
/// form stays open.
class TForm : public TWinControl {
 public:
  static constexpr int FrameBorder = 4;
  static constexpr int CaptionHeight = 19;

  explicit TForm(TComponent* AOwner);
  ~TForm() override;

  String GetCaption() const { return GetText(); }
  void SetCaption(const String& ACaption) { SetText(ACaption); }
  int GetClientWidth() const;
  void SetClientWidth(int AClientWidth);
  int GetClientHeight() const;
  void SetClientHeight(int AClientHeight);
  /// The control that has, or last had, the focus inside this form.
  TWinControl* GetActiveControl() const { return FActiveControl; }
  /// Focuses AActiveControl (when the form shows; null clears it).
  void SetActiveControl(TWinControl* AActiveControl);

  TProperty<TForm, String, &TForm::GetCaption, &TForm::SetCaption> Caption{this};
  TProperty<TForm, int, &TForm::GetClientWidth, &TForm::SetClientWidth> ClientWidth{this};
  TProperty<TForm, int, &TForm::GetClientHeight, &TForm::SetClientHeight> ClientHeight{this};
  TProperty<TForm, TWinControl*, &TForm::GetActiveControl, &TForm::SetActiveControl> ActiveControl{this};

  int GetLeft() const override;
  void SetLeft(int ALeft) override;
  int GetTop() const override;
  void SetTop(int ATop) override;
  int GetWidth() const override;
  void SetWidth(int AWidth) override;
  int GetHeight() const override;
  void SetHeight(int AHeight) override;
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  void SetVisible(bool AVisible) override;
  /// A form has no parent; setting one throws EInvalidOperation.
  void SetParent(TWinControl* AParent) override;

  /// Shows the form and makes it the active window.
  void Show();
  void Hide() { SetVisible(false); }
  /// Closes as described above.
  void Close();
  /// Destroys the form through the event loop, after the current handler.
  void Release();
  /// Sets the window icon from image bytes (PNG, ICO, ...). False when the
  /// bytes are no readable image.
  bool SetIconImage(const unsigned char* Data, std::size_t Size);

  /// Raised once, after the description has created every control.
  TNotifyEvent OnCreate;
  TCloseEvent OnClose;
  /// Raised each time the form becomes visible.
  TNotifyEvent OnShow;

  String ClassName() const override { return "TForm"; }

  /// Reads Description (the form description text; Source names it in
  /// messages), creates its components, applies its properties in the
  /// order given, binds fields and handlers through Table, builds the Tab
  /// chain, calls Loaded on everything, then raises OnCreate (an exception
  /// from OnCreate is shown by Application->HandleException and creation
  /// goes on). Throws EReadError on any mismatch, naming the form,
  /// component and property; the form is then only partly built and should
  /// be destroyed.
  void ReadDescription(const TFormTable& Table, const String& Description, const String& Source);

  /// The control after (or before) CurControl in the Tab order of the whole
  /// form (children by ascending TabOrder, a container's children right
  /// after it), wrapping around; only controls that can take the focus, and
  /// with CheckTabStop only those with TabStop. Null when there is none.
  TWinControl* FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop) const;
  /// Focuses FindNextControl(...); what Tab and Shift+Tab do.
  void SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop);

  /// Used by the focus tracking of the layer.
  void ControlFocused(TWinControl* Control, bool WindowActivation);
  void ControlDestroyed(TWinControl* Control);
  /// Called when the window is asked to close (close box): runs Close().
  void CloseRequested();

 protected:
  void ApplyColor() override;
  String GetText() const override;
  void SetText(const String& AText) override;

 private:
  TWinControl* FActiveControl = nullptr;
  TWinControl* FPendingActive = nullptr;
  bool FInDescription = false;
};

/// Registers a form description text under the class name of its top-level
/// object ("object Form1: TForm1" registers "TForm1"). The CMake function
/// vcl_form_description() generates one such registration per file; add it
/// to the executable (static registration objects in a static library may be
/// dropped by the linker).
struct TFormDescriptionRegistrar {
  TFormDescriptionRegistrar(const char* Source, const char* Text);
};
/// The description registered for ClassName and its source name; false when
/// none is.
bool FindFormDescription(const String& ClassName, String& Text, String& Source);

/// Creates a form of class F (constructor `F(TComponent* Owner)`, a static
/// `const TFormTable& F::FormTable()`) from the description registered under
/// F's table class name. Throws EReadError when there is none or it does not
/// fit (the half-built form is destroyed).
template <class F>
F* NewForm(TComponent* Owner);
/// As NewForm, from the given description text.
template <class F>
F* NewFormFromText(TComponent* Owner, const String& Description, const String& Source = "<text>");

/// The application object: owns the forms it creates, runs the event loop.
class TApplication : public TComponent {
 public:
  TApplication();
  ~TApplication() override;

  /// Creates the toolkit's application object (once; a QApplication that
  /// already exists is used as it is). The program passes no arguments.
  void Initialize();
  /// Creates a form of class F owned by the application, from its registered
  /// description, and stores it in Reference before OnCreate runs. The first
  /// form created becomes the main form. On failure Reference is null and the
  /// exception passes on.
  template <class F>
  void CreateForm(F*& Reference);
  /// Shows the main form and runs the event loop until the main form closes
  /// (or Terminate). Then destroys the forms the application owns.
  void Run();
  /// Ends the event loop of Run.
  void Terminate();
  /// Whether Terminate was called (or the main form closed).
  bool GetTerminated() const { return FTerminated; }
  /// Processes the pending events once, then returns.
  void ProcessMessages();
  /// Shows E->Message in a modal error box captioned with Title; a period is
  /// appended when the message does not end with one. Uses the message-box
  /// hook of Dialogs.h when one is set.
  void ShowException(const Exception* E);
  /// Shows the exception being handled (call inside a catch block): an
  /// Exception as ShowException, a std::exception with its what(), anything
  /// else with an empty message. Handlers of events raised by the toolkit are
  /// run under it, so an exception never crosses the event loop.
  void HandleException(TObject* Sender);

  TForm* GetMainForm() const { return FMainForm; }
  /// Full path of the running executable (/proc/self/exe).
  String GetExeName() const { return FExeName; }
  /// Test hook: replaces ExeName (e.g. to put the settings file in a
  /// temporary folder).
  void SetExeName(const String& AExeName) { FExeName = AExeName; }
  /// Default: the executable's file name without its extension.
  String GetTitle() const;
  void SetTitle(const String& ATitle) { FTitle = ATitle; }

  TProperty<TApplication, TForm*, &TApplication::GetMainForm> MainForm{this};
  TProperty<TApplication, String, &TApplication::GetExeName> ExeName{this};
  TProperty<TApplication, String, &TApplication::GetTitle, &TApplication::SetTitle> Title{this};
  TProperty<TApplication, bool, &TApplication::GetTerminated> Terminated{this};

  String ClassName() const override { return "TApplication"; }

  /// Used by CreateForm and by TForm::Close.
  void FormCreated(TForm* Form);
  void MainFormClosed();
  void FormDestroyed(TForm* Form);

 private:
  struct TAppPrivate;
  std::unique_ptr<TAppPrivate> FPriv;
  TForm* FMainForm = nullptr;
  String FExeName;
  String FTitle;
  bool FTerminated = false;
};

/// The one application object, alive for the whole process.
extern TApplication* Application;

// ---- templates ----------------------------------------------------------

template <class F>
F* NewFormFromText(TComponent* Owner, const String& Description, const String& Source) {
  std::unique_ptr<F> form(new F(Owner));
  form->ReadDescription(F::FormTable(), Description, Source);
  return form.release();
}

template <class F>
F* NewForm(TComponent* Owner) {
  String text, source;
  if (!FindFormDescription(F::FormTable().ClassName(), text, source))
    throw EReadError("No form description for class " + F::FormTable().ClassName());
  return NewFormFromText<F>(Owner, text, source);
}

template <class F>
void TApplication::CreateForm(F*& Reference) {
  Reference = nullptr;
  String text, source;
  if (!FindFormDescription(F::FormTable().ClassName(), text, source))
    throw EReadError("No form description for class " + F::FormTable().ClassName());
  std::unique_ptr<F> form(new F(this));
  Reference = form.get();
  try {
    if (!FMainForm) FMainForm = form.get();
    form->ReadDescription(F::FormTable(), text, source);
  } catch (...) {
    if (FMainForm == form.get()) FMainForm = nullptr;
    Reference = nullptr;
    throw;
  }
  FormCreated(form.release());
}
