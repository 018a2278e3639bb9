// What a screen reader finds of the status box under the grid: a status bar
// (a reader's "read the status bar" command finds it) whose text is the
// box's text. Each change is sent as a change of its text carrying the text
// itself: the box is filled as an operation starts and emptied as it ends,
// while the event loop does not run, so a reader asking for the text after
// the event would find another one.
#pragma once

class QLabel;
class QString;

namespace zorbix {

// Makes `boite` the status box for the assistive technologies.
void FaireBoiteStatut(QLabel& boite);

// The status box's text has just changed from `ancien`: tells the assistive
// technologies what was removed and what was put in its place.
void AnnoncerStatut(QLabel& boite, const QString& ancien);

}  // namespace zorbix
