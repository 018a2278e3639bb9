// What makes Qt speak French and draw with the program's fonts, for the
// whole run: the locale of dates, sizes and numbers, Qt's own catalogues
// (the standard dialogs and buttons), and the stand-in for "MS Sans Serif".
#pragma once

class QApplication;

namespace zorbix {

// Before the application object exists: Qt reads the system locale from the
// environment once, and its file dialog formats sizes and dates with it.
void ChoisirLocaleFrancaise();

// Once the application object exists: the default locale, the catalogues
// (owned by `app`) and the font substitution.
void InstallerFrancais(QApplication& app);

}  // namespace zorbix
