#include "grid_accessible.h"

#include <QAccessibleWidget>
#include <QPointer>
#include <QScrollBar>

#include <unordered_map>

#include "grid_layout.h"
#include "grid_texts.h"
#include "string_grid.h"

namespace zorbix {
namespace {

class TableGrille;

// One cell of the grid, in the grid's own coordinates: row 0 and column 0
// are the header cells.
class CelluleGrille final : public QAccessibleInterface, public QAccessibleTableCellInterface {
 public:
  CelluleGrille(StringGrid* grid, int col, int row) : grid_(grid), col_(col), row_(row) {}

  bool isValid() const override {
    return grid_ && col_ < grid_->colCount() && row_ < grid_->rowCount();
  }
  QObject* object() const override { return nullptr; }
  QWindow* window() const override { return grid_ ? grid_->window()->windowHandle() : nullptr; }
  QAccessibleInterface* childAt(int, int) const override { return nullptr; }
  QAccessibleInterface* parent() const override { return table(); }
  QAccessibleInterface* child(int) const override { return nullptr; }
  int childCount() const override { return 0; }
  int indexOfChild(const QAccessibleInterface*) const override { return -1; }

  // The name is what the cell shows; the description, for a byte's cell,
  // is the byte's address as the window shows it ("$0023"), so that the
  // reader says where the byte is and not only what it holds.
  QString text(QAccessible::Text t) const override {
    if (!isValid()) return QString();
    if (t == QAccessible::Description) return TexteAdresseOctet();
    if (t != QAccessible::Name) return QString();
    const JeuCaracteres jeu = grid_->isOem() ? JeuCaracteres::Oem : JeuCaracteres::Ansi;
    return TexteMontre(grid_->cell(col_, row_), col_, row_, jeu);
  }
  void setText(QAccessible::Text, const QString&) override {}

  QRect rect() const override {
    if (!isValid()) return QRect();
    const QRect r = grid_->cellRect(col_, row_);
    if (r.isEmpty()) return QRect();
    return QRect(grid_->viewport()->mapToGlobal(r.topLeft()), r.size());
  }

  QAccessible::Role role() const override {
    if (row_ == 0) return QAccessible::ColumnHeader;
    if (col_ == 0) return QAccessible::RowHeader;
    return QAccessible::Cell;
  }

  QAccessible::State state() const override {
    QAccessible::State s;
    if (!isValid()) return s;
    if (grid_->cellRect(col_, row_).isEmpty()) {
      s.invisible = true;
      s.offscreen = true;
    }
    if (row_ == 0 || col_ == 0) return s;
    s.focusable = true;
    s.selectable = true;
    s.selected = isSelected();
    s.focused = isSelected() && grid_->hasFocus();
    return s;
  }

  void* interface_cast(QAccessible::InterfaceType type) override {
    return type == QAccessible::TableCellInterface ? static_cast<QAccessibleTableCellInterface*>(this)
                                                   : nullptr;
  }

  bool isSelected() const override { return grid_ && col_ == grid_->col() && row_ == grid_->row(); }
  QList<QAccessibleInterface*> columnHeaderCells() const override;
  QList<QAccessibleInterface*> rowHeaderCells() const override;
  int columnIndex() const override { return col_ - 1; }
  int rowIndex() const override { return row_ - 1; }
  int columnExtent() const override { return 1; }
  int rowExtent() const override { return 1; }
  QAccessibleInterface* table() const override;

  QString TexteAdresseOctet() const {
    const bool hexa = col_ >= PremiereColonneHexa && col_ < PremiereColonneHexa + OctetsParLigne;
    if (row_ == 0 || !(hexa || EstColonneCaracteres(col_))) return QString();
    const int premiere = hexa ? PremiereColonneHexa : PremiereColonneCaracteres;
    return QString::asprintf("$%04X", (row_ - 1) * OctetsParLigne + col_ - premiere);
  }

  int Col() const { return col_; }
  int Row() const { return row_; }
  const StringGrid* Grille() const { return grid_; }

 private:
  QPointer<StringGrid> grid_;
  int col_;
  int row_;
};

// The grid as a table. Its children are all its cells, headers included,
// row after row; a cell object is made the first time it is asked for and
// kept (registered with Qt, which gives it its identity on the bus) until
// the row count changes or the grid goes.
class TableGrille final : public QAccessibleWidget, public QAccessibleTableInterface {
 public:
  explicit TableGrille(StringGrid* grid) : QAccessibleWidget(grid, QAccessible::Table) {}
  ~TableGrille() override { Oublier(); }

  StringGrid* Grille() const { return static_cast<StringGrid*>(widget()); }

  QAccessibleInterface* Cellule(int col, int row) const {
    if (col < 0 || col >= Grille()->colCount() || row < 0 || row >= Grille()->rowCount()) return nullptr;
    const qint64 cle = static_cast<qint64>(row) * Grille()->colCount() + col;
    const auto trouvee = cellules_.find(cle);
    if (trouvee != cellules_.end()) return QAccessible::accessibleInterface(trouvee->second);
    auto* cellule = new CelluleGrille(Grille(), col, row);
    cellules_.emplace(cle, QAccessible::registerAccessibleInterface(cellule));
    return cellule;
  }

  void Oublier() {
    for (const auto& [cle, id] : cellules_) QAccessible::deleteAccessibleInterface(id);
    cellules_.clear();
  }

  void* interface_cast(QAccessible::InterfaceType type) override {
    if (type == QAccessible::TableInterface) return static_cast<QAccessibleTableInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
  }

  int childCount() const override { return Grille()->colCount() * Grille()->rowCount(); }
  QAccessibleInterface* child(int index) const override {
    if (index < 0 || index >= childCount()) return nullptr;
    return Cellule(index % Grille()->colCount(), index / Grille()->colCount());
  }
  int indexOfChild(const QAccessibleInterface* enfant) const override {
    const auto* cellule = dynamic_cast<const CelluleGrille*>(enfant);
    if (!cellule || cellule->Grille() != Grille() || !cellule->isValid()) return -1;
    return cellule->Row() * Grille()->colCount() + cellule->Col();
  }
  QAccessibleInterface* childAt(int x, int y) const override {
    const QPoint point = Grille()->viewport()->mapFromGlobal(QPoint(x, y));
    const int derniere = Grille()->topRow() + Grille()->visibleRowCount();
    for (int row = 0; row <= derniere; row = row == 0 ? Grille()->topRow() : row + 1)
      for (int col = 0; col < Grille()->colCount(); ++col)
        if (Grille()->cellRect(col, row).contains(point)) return Cellule(col, row);
    return nullptr;
  }
  QAccessibleInterface* focusChild() const override {
    return Grille()->hasFocus() ? Cellule(Grille()->col(), Grille()->row()) : nullptr;
  }

  QAccessibleInterface* caption() const override { return nullptr; }
  QAccessibleInterface* summary() const override { return nullptr; }
  QAccessibleInterface* cellAt(int row, int column) const override { return Cellule(column + 1, row + 1); }
  int selectedCellCount() const override { return 1; }
  QList<QAccessibleInterface*> selectedCells() const override {
    return {Cellule(Grille()->col(), Grille()->row())};
  }
  QString columnDescription(int column) const override { return Grille()->cell(column + 1, 0); }
  QString rowDescription(int row) const override { return Grille()->cell(0, row + 1); }
  int columnCount() const override { return Grille()->colCount() - 1; }
  int rowCount() const override { return Grille()->rowCount() - 1; }

  // One cell at a time is selected: never a whole row or column.
  int selectedColumnCount() const override { return 0; }
  int selectedRowCount() const override { return 0; }
  QList<int> selectedColumns() const override { return {}; }
  QList<int> selectedRows() const override { return {}; }
  bool isColumnSelected(int) const override { return false; }
  bool isRowSelected(int) const override { return false; }
  bool selectRow(int) override { return false; }
  bool selectColumn(int) override { return false; }
  bool unselectRow(int) override { return false; }
  bool unselectColumn(int) override { return false; }

  void modelChange(QAccessibleTableModelChangeEvent* event) override {
    if (event->modelChangeType() == QAccessibleTableModelChangeEvent::ModelReset) Oublier();
  }

 private:
  mutable std::unordered_map<qint64, QAccessible::Id> cellules_;
};

TableGrille* Table(const StringGrid* grid) {
  return static_cast<TableGrille*>(QAccessible::queryAccessibleInterface(const_cast<StringGrid*>(grid)));
}

QAccessibleInterface* Fabrique(const QString& classe, QObject* objet) {
  if (classe == QLatin1String("zorbix::StringGrid") && objet->isWidgetType())
    return new TableGrille(static_cast<StringGrid*>(objet));
  return nullptr;
}

QList<QAccessibleInterface*> CelluleGrille::columnHeaderCells() const {
  return {Table(grid_)->Cellule(col_, 0)};
}

QList<QAccessibleInterface*> CelluleGrille::rowHeaderCells() const {
  return {Table(grid_)->Cellule(0, row_)};
}

QAccessibleInterface* CelluleGrille::table() const { return Table(grid_); }

}  // namespace

void InstallerAccessibiliteGrille() {
  static const bool installee = [] {
    QAccessible::installFactory(Fabrique);
    return true;
  }();
  (void)installee;
}

void SignalerCelluleCourante(StringGrid& grid) {
  if (!QAccessible::isActive()) return;
  QAccessibleInterface* cellule = Table(&grid)->Cellule(grid.col(), grid.row());
  QAccessibleEvent selection(cellule, QAccessible::Selection);
  QAccessible::updateAccessibility(&selection);
  if (grid.hasFocus()) {
    QAccessibleEvent focus(cellule, QAccessible::Focus);
    QAccessible::updateAccessibility(&focus);
  }
}

// Qt announces the grid itself as focused once its focusInEvent has run:
// the cell's focus goes out after that, from the event loop, or the reader
// would be left on the table ("Contenu du buffer") instead of the byte.
void SignalerFocusGrille(StringGrid& grid) {
  if (!QAccessible::isActive()) return;
  QMetaObject::invokeMethod(
      &grid,
      [g = QPointer<StringGrid>(&grid)] {
        if (g && g->hasFocus()) SignalerCelluleCourante(*g);
      },
      Qt::QueuedConnection);
}

void SignalerTexteCellule(StringGrid& grid, int col, int row) {
  if (!QAccessible::isActive()) return;
  if (QAccessibleInterface* cellule = Table(&grid)->Cellule(col, row)) {
    QAccessibleEvent nom(cellule, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&nom);
  }
}

void SignalerNouvellesLignes(StringGrid& grid) {
  Table(&grid)->Oublier();
  if (!QAccessible::isActive()) return;
  QAccessibleTableModelChangeEvent reinitialisation(&grid, QAccessibleTableModelChangeEvent::ModelReset);
  QAccessible::updateAccessibility(&reinitialisation);
}

}  // namespace zorbix
