#include "editor/buffer_operations.h"

#include <gtest/gtest.h>

#include <memory>

namespace zorbix {
namespace {

constexpr OperationBuffer kToutes[] = {
    OperationBuffer::ToutA00,          OperationBuffer::ToutAFF,     OperationBuffer::Espaces,
    OperationBuffer::Aleatoire,        OperationBuffer::Incremente,  OperationBuffer::Decremente,
    OperationBuffer::OctetSelectionne, OperationBuffer::Complemente, OperationBuffer::InversionBits,
    OperationBuffer::RemplirLigne,
};

// A Buffer with a different-looking byte everywhere, so that a byte left
// alone and a byte rewritten can be told apart.
std::unique_ptr<Buffer> BufferMarque() {
  auto b = std::make_unique<Buffer>();
  GenerateurAleatoire g;
  g.Initialiser(424242);
  for (auto& octet : *b) octet = static_cast<std::uint8_t>(g.Suivant() >> 7);
  return b;
}

std::uint8_t BitsRenverses(std::uint8_t v) {
  std::uint8_t r = 0;
  for (int k = 0; k < 8; ++k) r |= static_cast<std::uint8_t>(((v >> k) & 1) << (7 - k));
  return r;
}

struct Puce {
  const char* nom;
  int taille;
};

void PrintTo(const Puce& puce, std::ostream* os) { *os << puce.nom; }

class OperationsParPuce : public testing::TestWithParam<Puce> {};

// Every operation rewrites the active region as it should and leaves every
// byte beyond it alone.
TEST_P(OperationsParPuce, EachOperationActsOnTheActiveRegionOnly) {
  const int n = GetParam().taille;
  const int selection = n - 3;  // in the last row, not its first byte
  for (OperationBuffer op : kToutes) {
    SCOPED_TRACE(static_cast<int>(op));
    const auto avant = BufferMarque();
    auto buffer = std::make_unique<Buffer>(*avant);
    GenerateurAleatoire g;
    g.Initialiser(7);
    GenerateurAleatoire tirages;
    tirages.Initialiser(7);
    AppliquerOperation(op, *buffer, n, selection, g);

    const std::uint8_t choisi = (*avant)[selection];
    for (int i = 0; i < TailleBuffer; ++i) {
      const std::uint8_t a = (*avant)[i];
      std::uint8_t attendu = a;
      if (i < n) {
        switch (op) {
          case OperationBuffer::ToutA00: attendu = 0x00; break;
          case OperationBuffer::ToutAFF: attendu = 0xFF; break;
          case OperationBuffer::Espaces: attendu = 0x20; break;
          case OperationBuffer::Aleatoire: attendu = static_cast<std::uint8_t>(tirages.Suivant()); break;
          case OperationBuffer::Incremente: attendu = static_cast<std::uint8_t>(i % 256); break;
          case OperationBuffer::Decremente: attendu = static_cast<std::uint8_t>(255 - i % 256); break;
          case OperationBuffer::OctetSelectionne: attendu = choisi; break;
          case OperationBuffer::Complemente: attendu = static_cast<std::uint8_t>(~a); break;
          case OperationBuffer::InversionBits: attendu = BitsRenverses(a); break;
          case OperationBuffer::RemplirLigne:
            if (i / 16 == selection / 16) attendu = choisi;
            break;
        }
      }
      ASSERT_EQ((*buffer)[i], attendu) << "adresse " << i;
    }
  }
}

TEST_P(OperationsParPuce, ComplementAndBitReversalUndoThemselves) {
  const int n = GetParam().taille;
  GenerateurAleatoire g;
  for (OperationBuffer op : {OperationBuffer::Complemente, OperationBuffer::InversionBits}) {
    const auto avant = BufferMarque();
    auto buffer = std::make_unique<Buffer>(*avant);
    AppliquerOperation(op, *buffer, n, 0, g);
    EXPECT_NE(*buffer, *avant);
    AppliquerOperation(op, *buffer, n, 0, g);
    EXPECT_EQ(*buffer, *avant);
  }
}

// The two fills that use the selected byte do nothing when the address
// given lies outside the active region (the byte there is not shown).
TEST_P(OperationsParPuce, SelectedByteFillsIgnoreAnAddressOutsideTheRegion) {
  const int n = GetParam().taille;
  GenerateurAleatoire g;
  for (OperationBuffer op : {OperationBuffer::OctetSelectionne, OperationBuffer::RemplirLigne}) {
    for (int selection : {-1, n, TailleBuffer, 1 << 30}) {
      const auto avant = BufferMarque();
      auto buffer = std::make_unique<Buffer>(*avant);
      AppliquerOperation(op, *buffer, n, selection, g);
      EXPECT_EQ(*buffer, *avant) << "selection " << selection;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Puces, OperationsParPuce,
                         testing::Values(Puce{"24C00", 16}, Puce{"24C01", 128}, Puce{"24C512", 65536}),
                         [](const testing::TestParamInfo<Puce>& info) { return info.param.nom; });

TEST(OperationsBuffer, LineFillCoversTheSelectedRowOnly) {
  auto buffer = BufferMarque();
  const Buffer avant = *buffer;
  GenerateurAleatoire g;
  AppliquerOperation(OperationBuffer::RemplirLigne, *buffer, 65536, 0x1234, g);
  for (int i = 0; i < TailleBuffer; ++i) {
    const bool ligne = i >= 0x1230 && i <= 0x123F;
    ASSERT_EQ((*buffer)[i], ligne ? avant[0x1234] : avant[i]) << i;
  }
}

TEST(OperationsBuffer, KnownValuesAndRandomFillsInARow) {
  Buffer buffer{};
  GenerateurAleatoire g;
  buffer[0] = 0x2D;
  AppliquerOperation(OperationBuffer::InversionBits, buffer, 16, 0, g);
  EXPECT_EQ(buffer[0], 0xB4);

  // Two random fills in a row continue the sequence instead of repeating it.
  g.Initialiser(0);
  AppliquerOperation(OperationBuffer::Aleatoire, buffer, 16, 0, g);
  const Buffer premier = buffer;
  EXPECT_EQ(premier[1], 0x5A);
  AppliquerOperation(OperationBuffer::Aleatoire, buffer, 16, 0, g);
  EXPECT_NE(buffer, premier);
}

// A size the chips never have must still keep every write inside the
// Buffer and, for the line fill, inside the active region.
TEST(OperationsBuffer, OddSizesStayInsideTheBuffer) {
  GenerateurAleatoire g;
  auto buffer = BufferMarque();
  const Buffer avant = *buffer;
  AppliquerOperation(OperationBuffer::ToutA00, *buffer, 0, 0, g);
  AppliquerOperation(OperationBuffer::ToutA00, *buffer, -16, 0, g);
  EXPECT_EQ(*buffer, avant);

  AppliquerOperation(OperationBuffer::ToutAFF, *buffer, 1 << 20, 0, g);
  for (std::uint8_t v : *buffer) ASSERT_EQ(v, 0xFF);

  *buffer = avant;
  AppliquerOperation(OperationBuffer::RemplirLigne, *buffer, 20, 17, g);
  for (int i = 0; i < 40; ++i)
    EXPECT_EQ((*buffer)[i], i >= 16 && i < 20 ? avant[17] : avant[i]) << i;
}

}  // namespace
}  // namespace zorbix
