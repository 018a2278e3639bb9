#include "grid_refresh.h"

#include "grid_layout.h"
#include "grid_texts.h"
#include "string_grid.h"

namespace zorbix {

void RemplirGrille(StringGrid& grid, const Buffer& buffer, int count,
                   const ProgressionGrille& progression) {
  const int n = TailleActive(count);
  grid.setRowCount(LignesPourOctets(n));
  for (int row = 1; row < grid.rowCount(); ++row)
    grid.setCell(ColonneAdresse, row, TexteAdresse((row - 1) * OctetsParLigne));

  const int pas = n < 64 ? 1 : n / 64;
  for (int i = 0; i < n; ++i) {
    if (progression && i % pas == pas - 1) progression(i);
    RedessinerOctet(grid, buffer, i);
  }
  if (progression) progression(0);
}

void RedessinerOctet(StringGrid& grid, const Buffer& buffer, int adresse) {
  const int row = LigneDeAdresse(adresse);
  const int colonne = adresse % OctetsParLigne;
  grid.setCell(PremiereColonneHexa + colonne, row, TexteHexa(buffer[adresse]));
  grid.setCell(PremiereColonneCaracteres + colonne, row, TexteCaractere(buffer[adresse]));
}

}  // namespace zorbix
