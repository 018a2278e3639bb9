// Saving without ever destroying the file that was there.
//
// The new content goes to a temporary file in the target's own directory,
// is flushed to the disk, and only then renamed over the target, which the
// system does in one step. If anything fails on the way, the temporary file
// is removed and the old file is left exactly as it was.
#pragma once

#include <cstddef>
#include <string>

namespace zorbix {

// Replaces the file `nom` (as typed: no extension is added) with the `taille`
// bytes at `donnees`, or creates it. Returns false when the file could not be
// completely written, in which case nothing on disk has changed.
//
// An existing file keeps its permission bits; a new file gets the usual
// 0666 less the umask. A symbolic link is followed: the file it names is
// replaced and the link stays. An existing file this process may not write is
// refused, as opening it for writing would have been.
bool RemplacerFichier(const std::string& nom, const void* donnees, std::size_t taille);

}  // namespace zorbix
