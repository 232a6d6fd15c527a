// Test entry for the widget tests: the offscreen platform unless told
// otherwise, and the application object created the way the program does.
#include <gtest/gtest.h>

#include <cstdlib>

#include "vcl/Forms.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  Application->Initialize();
  return RUN_ALL_TESTS();
}
