// The application object and its event loop.
#include <unistd.h>

#include <QApplication>
#include <climits>

#include "MessageBox.h"
#include "QtBridge.h"
#include "vcl/Forms.h"

using namespace vcl_detail;

namespace {

String ReadExeName() {
  char buf[PATH_MAX + 1];
  ssize_t n = ::readlink("/proc/self/exe", buf, PATH_MAX);
  return n > 0 ? String(buf, static_cast<size_t>(n)) : String();
}

TApplication TheApplication;

}  // namespace

TApplication* Application = &TheApplication;

struct TApplication::TAppPrivate {
  // QApplication keeps references to these for its whole life.
  int Argc = 1;
  String Arg0;
  char* Argv[2] = {nullptr, nullptr};
  QApplication* App = nullptr;  // made by Initialize; lives until the process ends
};

TApplication::TApplication() : TComponent(nullptr), FPriv(std::make_unique<TAppPrivate>()), FExeName(ReadExeName()) {}

TApplication::~TApplication() {
  // Forms go while the toolkit still runs. The QApplication itself is left
  // to the end of the process: this destructor runs among the static
  // destructors, after Qt's own statics, and deleting it then crashes.
  DestroyComponents();
}

void TApplication::Initialize() {
  if (qApp) return;
  FPriv->Arg0 = FExeName.empty() ? String("vcl") : FExeName;
  FPriv->Argv[0] = FPriv->Arg0.data();
  FPriv->App = new QApplication(FPriv->Argc, FPriv->Argv);
  QApplication::setQuitOnLastWindowClosed(false);
  EnsureQtApplication();
}

void TApplication::Run() {
  EnsureQtApplication();
  if (FMainForm && !FTerminated) FMainForm->Show();
  if (!FTerminated) QApplication::exec();
  DestroyComponents();
}

void TApplication::Terminate() {
  FTerminated = true;
  if (qApp) QCoreApplication::exit(0);
}

void TApplication::ProcessMessages() {
  if (qApp) QCoreApplication::processEvents();
}

String TApplication::GetTitle() const {
  if (!FTitle.empty()) return FTitle;
  return ChangeFileExt(ExtractFileName(FExeName), "");
}

void TApplication::ShowException(const Exception* E) {
  String msg = E ? E->Message : String();
  if (!msg.empty() && static_cast<unsigned char>(msg.back()) > '.') msg += '.';
  TMessageBoxRequest r;
  r.Caption = GetTitle();
  r.Text = msg;
  r.Type = mtError;
  r.Buttons << mbOK;
  ShowMessageBox(r);
}

void TApplication::HandleException(TObject*) {
  try {
    throw;
  } catch (const Exception& e) {
    ShowException(&e);
  } catch (const std::exception& e) {
    Exception x(e.what());
    ShowException(&x);
  } catch (...) {
    Exception x{String()};
    ShowException(&x);
  }
}

void TApplication::FormCreated(TForm*) {}

void TApplication::MainFormClosed() { Terminate(); }

void TApplication::FormDestroyed(TForm* Form) {
  if (FMainForm == Form) FMainForm = nullptr;
}
