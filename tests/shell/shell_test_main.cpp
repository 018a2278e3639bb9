// The GUI tests need one application object for the whole run.
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "shell/application.h"
#include "shell/french_desktop.h"

int main(int argc, char** argv) {
  // Also when CTest lists the tests at build time: no display is needed.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  ::testing::InitGoogleTest(&argc, argv);
  zorbix::ChoisirLocaleFrancaise();
  zorbix::Application app(argc, argv);
  zorbix::InstallerFrancais(app);  // the program's locale, catalogues and fonts
  // Qt's file dialog keeps its state (columns, view, history) in the user's
  // settings: the tests start from none and leave the user's alone.
  QTemporaryDir reglagesQt;
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, reglagesQt.path());
  return RUN_ALL_TESTS();
}
