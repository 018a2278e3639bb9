#include "cli/standard_output.h"

#include <cerrno>
#include <cstdio>
#include <iostream>
#include <string>

#include "cli/commands.h"
#include "fileio/file_errors.h"

namespace zorbix {

int TerminerSortieStandard(int code) {
  errno = 0;
  std::cout.flush();
  if (std::cout) std::fflush(stdout);
  // errno is that of the failed write when the flush was the one to fail;
  // a write refused earlier left only its mark on the stream.
  const int erreur = errno;
  if (std::cout && !std::ferror(stdout)) return code;
  const std::string raison = erreur != 0 ? " (" + TexteErreurFichier(erreur) + ")" : std::string();
  std::cerr << "zorbix32-cli : écriture impossible sur la sortie standard" << raison << '\n';
  return code == SortieSucces ? SortieUsage : code;
}

}  // namespace zorbix
