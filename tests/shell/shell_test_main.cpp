// The GUI tests need one application object for the whole run.
#include <gtest/gtest.h>

#include "shell/application.h"

int main(int argc, char** argv) {
  // Also when CTest lists the tests at build time: no display is needed.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  ::testing::InitGoogleTest(&argc, argv);
  zorbix::Application app(argc, argv);
  return RUN_ALL_TESTS();
}
