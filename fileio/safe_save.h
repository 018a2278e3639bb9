// Saving without ever destroying the file that was there.
//
// The new content goes to a temporary file in the target's own directory,
// is flushed to the disk, and only then renamed over the target, which the
// system does in one step. If anything fails on the way, the temporary file
// is removed and the old file is left exactly as it was.
//
// A folder that refuses new names (a read-only folder holding a file the
// user may write) leaves one way: the file is rewritten in place. Everything
// that can fail is tried before its first byte is overwritten (opening it,
// reserving the disk space, the size limit); only a failure of the writing
// itself can then leave it damaged, and it is reported.
#pragma once

#include <cstddef>
#include <string>

namespace zorbix {

// Replaces the file `nom` (as typed: no extension is added) with the `taille`
// bytes at `donnees`, or creates it. Returns false when the file could not be
// completely written, with the reason in `*erreur` when given (an errno value
// or one of file_errors.h) and the nearest system error in errno; nothing on
// disk has changed unless the in-place rewrite failed while writing.
//
// An existing file keeps its permission bits; a new file gets the usual
// 0666 less the umask. A symbolic link is followed: the file it names is
// replaced and the link stays. Refused before anything is written: an
// existing file this process may not write, a folder, anything but a
// regular file (a FIFO, /dev/null...), a dangling link, a missing folder.
bool RemplacerFichier(const std::string& nom, const void* donnees, std::size_t taille, int* erreur = nullptr);

// What RemplacerFichier checks before it writes anything: 0 when `nom` may be
// saved to, otherwise the reason it would be refused.
int VerifierDestination(const std::string& nom);

}  // namespace zorbix
