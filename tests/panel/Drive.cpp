#include "Drive.h"

#include <unistd.h>

#include <atomic>
#include <fstream>
#include <sstream>

TempDir::TempDir() {
  static std::atomic<int> counter{0};
  FPath = std::filesystem::temp_directory_path() /
          ("quodrix-panel-" + std::to_string(getpid()) + "-" + std::to_string(counter++));
  std::filesystem::remove_all(FPath);
  std::filesystem::create_directories(FPath);
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(FPath, ec);
}

std::string ReadFile(const std::filesystem::path& Path) {
  std::ifstream in(Path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void WriteFile(const std::filesystem::path& Path, const std::string& Text) {
  std::ofstream out(Path, std::ios::binary | std::ios::trunc);
  out << Text;
}

void Pump() {
  for (int i = 0; i < 3; ++i) QApplication::processEvents();
}

bool ShowAndActivate(TForm* Form) {
  Form->Show();
  QWidget* window = VclWidget(Form);
  window->activateWindow();
  QApplication::setActiveWindow(window);
  const bool active = QTest::qWaitForWindowActive(window);
  Pump();
  return active;
}

void Click(TControl* c) {
  QTest::mouseClick(VclWidget(c), Qt::LeftButton);
  Pump();
}

void TypeInto(TFloatEdit* e, const std::string& Text) {
  QWidget* w = VclWidget(e);
  QTest::mouseClick(w, Qt::LeftButton);
  QTest::keyClick(w, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClick(w, Qt::Key_Backspace);
  QTest::keyClicks(w, QString::fromStdString(Text));
  Pump();
}

void PressEnter(TControl* c) {
  QTest::keyClick(VclWidget(c), Qt::Key_Return);
  Pump();
}

void PressTab(TControl* c) {
  QTest::keyClick(VclWidget(c), Qt::Key_Tab);
  Pump();
}

bool Choose(TComboBox* c, int Index) {
  c->SetFocus();
  Pump();
  while (c->ItemIndex < Index) {
    const int before = c->ItemIndex;
    QTest::keyClick(VclWidget(c), Qt::Key_Down);
    if (c->ItemIndex == before) break;
  }
  while (c->ItemIndex > Index) {
    const int before = c->ItemIndex;
    QTest::keyClick(VclWidget(c), Qt::Key_Up);
    if (c->ItemIndex == before) break;
  }
  Pump();
  return c->ItemIndex == Index;
}
