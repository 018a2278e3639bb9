#include "editor/grid_refresh.h"

#include "grid_fixture.h"

namespace zorbix {
namespace {

struct Puce {
  const char* nom;
  int taille;
  const char* derniereAdresse;
};

void PrintTo(const Puce& puce, std::ostream* os) { *os << puce.nom; }

class RafraichissementParPuce : public GrilleTest, public testing::WithParamInterface<Puce> {};

// Every cell of the active region shows its byte, whatever the grid held
// before (a larger chip's rows, another content).
TEST_P(RafraichissementParPuce, CellsMirrorTheActiveRegion) {
  const Puce puce = GetParam();
  auto buffer = std::make_unique<Buffer>();
  for (int i = 0; i < TailleBuffer; ++i) (*buffer)[i] = static_cast<std::uint8_t>(i * 7 + i / 256);
  RemplirGrille(*grid_, *buffer, TailleBuffer, nullptr);  // the largest first: stale rows to drop
  for (auto& octet : *buffer) octet = static_cast<std::uint8_t>(octet ^ 0x5A);
  RemplirGrille(*grid_, *buffer, puce.taille, nullptr);

  const int lignes = puce.taille / 16;
  ASSERT_EQ(grid_->rowCount(), lignes + 1);
  EXPECT_EQ(grid_->cell(0, 1), "0000");
  EXPECT_EQ(grid_->cell(0, lignes), puce.derniereAdresse);
  for (int i = 0; i < puce.taille; ++i) {
    const std::uint8_t v = (*buffer)[i];
    const int row = i / 16 + 1;
    ASSERT_EQ(grid_->cell(2 + i % 16, row), QString::asprintf("%02X", v)) << i;
    ASSERT_EQ(grid_->cell(19 + i % 16, row), v ? QString(QChar(v)) : QString()) << i;
  }
  for (int row = 1; row <= lignes; ++row) {
    ASSERT_EQ(grid_->cell(0, row), QString::asprintf("%04X", (row - 1) * 16));
    ASSERT_TRUE(grid_->cell(1, row).isEmpty());
    ASSERT_TRUE(grid_->cell(18, row).isEmpty());
  }
}

INSTANTIATE_TEST_SUITE_P(Puces, RafraichissementParPuce,
                         testing::Values(Puce{"24C00", 16, "0000"}, Puce{"24C02", 256, "00F0"},
                                         Puce{"24C16", 2048, "07F0"}, Puce{"24C512", 65536, "FFF0"}),
                         [](const testing::TestParamInfo<Puce>& info) { return info.param.nom; });

std::vector<int> Positions(StringGrid& grid, int count) {
  auto buffer = std::make_unique<Buffer>();
  std::vector<int> positions;
  RemplirGrille(grid, *buffer, count, [&positions](int p) { positions.push_back(p); });
  return positions;
}

TEST_F(GrilleTest, ProgressPositions) {
  std::vector<int> attendu;
  for (int i = 31; i < 2048; i += 32) attendu.push_back(i);
  attendu.push_back(0);
  EXPECT_EQ(Positions(*grid_, 2048), attendu);  // 64 moves, then back to 0

  attendu.clear();
  for (int i = 0; i < 16; ++i) attendu.push_back(i);
  attendu.push_back(0);
  EXPECT_EQ(Positions(*grid_, 16), attendu);  // below 64 bytes: every byte

  const std::vector<int> grand = Positions(*grid_, 65536);
  ASSERT_EQ(grand.size(), 65u);
  EXPECT_EQ(grand[0], 1023);
  EXPECT_EQ(grand[63], 65535);
}

// The progress callback sees the cells already written up to its position.
TEST_F(GrilleTest, ProgressFollowsTheCells) {
  auto buffer = std::make_unique<Buffer>();
  buffer->fill(0x41);
  RemplirGrille(*grid_, *buffer, 2048, nullptr);
  buffer->fill(0x00);
  RemplirGrille(*grid_, *buffer, 2048, [this](int p) {
    if (p == 0) return;
    EXPECT_EQ(grid_->cell(2 + p % 16, p / 16 + 1), "41");  // not yet rewritten
    EXPECT_EQ(grid_->cell(2 + (p - 1) % 16, (p - 1) / 16 + 1), "00");
  });
  EXPECT_EQ(grid_->cell(19, 1), QString());
  EXPECT_EQ(grid_->cell(2, 1), "00");
}

// From a 24C16 with the current cell on row 100 to a 24C02: the current
// cell moves to row 16, same column, through the selection hook.
TEST_F(GrilleTest, SmallerChipMovesTheCurrentCellToTheLastRow) {
  auto buffer = std::make_unique<Buffer>();
  RemplirGrille(*grid_, *buffer, 2048, nullptr);
  Placer(9, 100);
  RemplirGrille(*grid_, *buffer, 256, nullptr);
  EXPECT_EQ(demandes_, (std::vector<std::pair<int, int>>{{9, 16}}));
  EXPECT_EQ(grid_->row(), 16);
  EXPECT_EQ(grid_->col(), 9);
}

}  // namespace
}  // namespace zorbix
