// Renders the window offscreen into the build tree, so that anyone can look
// at the layout, and checks that every caption fits its control.
#include <QFontMetrics>
#include <QImage>
#include <QPixmap>

#include "PanelFixture.h"
#include "icons/Icon.h"

namespace {

class ScreenshotTest : public PanelTest {};

TEST_F(ScreenshotTest, WindowRendersAndCaptionsFit) {
  CreateWindow();
  const QPixmap shot = W(form)->grab();
  ASSERT_FALSE(shot.isNull());
  EXPECT_TRUE(shot.save(PANEL_SCREENSHOT, "PNG")) << PANEL_SCREENSHOT;
  std::printf("window rendered to %s\n", PANEL_SCREENSHOT);

  for (int i = 0; i < form->ComponentCount; ++i) {
    TComponent* c = form->GetComponent(i);
    String text;
    int room = 0;
    if (auto* b = dynamic_cast<TButton*>(c)) {
      text = b->Caption;
      room = b->Width - 6;  // the button's frame and a little air
    } else if (auto* l = dynamic_cast<TLabel*>(c)) {
      text = l->Caption;
      room = l->Width;
    } else {
      continue;
    }
    const QFontMetrics fm(W(static_cast<TControl*>(c))->font());
    EXPECT_LE(fm.horizontalAdvance(QString::fromStdString(text)), room)
        << c->Name.Get() << " \"" << text << "\" does not fit";
    EXPECT_LE(fm.height(), static_cast<TControl*>(c)->Height) << c->Name.Get();
  }
}

TEST_F(ScreenshotTest, TheProgramsIconIsAnImageOfItsOwn) {
  QImage icon;
  ASSERT_TRUE(icon.loadFromData(QuodrixIconPng, static_cast<int>(QuodrixIconPngSize), "PNG"));
  EXPECT_EQ(icon.size(), QSize(64, 64));
  EXPECT_TRUE(icon.hasAlphaChannel());
  CreateWindow();
  EXPECT_TRUE(form->SetIconImage(QuodrixIconPng, QuodrixIconPngSize));
  EXPECT_FALSE(W(form)->windowIcon().isNull());
}

}  // namespace
