#include "buffer_operations.h"

#include <algorithm>

namespace zorbix {
namespace {

std::uint8_t InverserBits(std::uint8_t v) {
  std::uint8_t r = 0;
  for (int k = 0; k < 8; ++k)
    if (v & (1u << k)) r |= static_cast<std::uint8_t>(0x80u >> k);
  return r;
}

template <typename Transformation>
void Transformer(Buffer& buffer, int n, Transformation f) {
  for (int i = 0; i < n; ++i) buffer[i] = f(buffer[i]);
}

void Remplir(Buffer& buffer, int debut, int fin, std::uint8_t v) {
  std::fill(buffer.begin() + debut, buffer.begin() + fin, v);
}

}  // namespace

void AppliquerOperation(OperationBuffer operation, Buffer& buffer, int chipSize,
                        int selectedAddress, GenerateurAleatoire& generateur) {
  const int n = TailleActive(chipSize);
  if (n == 0) return;
  const bool selectionValide = selectedAddress >= 0 && selectedAddress < n;

  switch (operation) {
    case OperationBuffer::ToutA00: Remplir(buffer, 0, n, 0x00); break;
    case OperationBuffer::ToutAFF: Remplir(buffer, 0, n, 0xFF); break;
    case OperationBuffer::Espaces: Remplir(buffer, 0, n, 0x20); break;
    case OperationBuffer::Aleatoire:
      for (int i = 0; i < n; ++i) buffer[i] = static_cast<std::uint8_t>(generateur.Suivant());
      break;
    case OperationBuffer::Incremente:
      for (int i = 0; i < n; ++i) buffer[i] = static_cast<std::uint8_t>(i);
      break;
    case OperationBuffer::Decremente:
      for (int i = 0; i < n; ++i) buffer[i] = static_cast<std::uint8_t>(255 - i % 256);
      break;
    case OperationBuffer::OctetSelectionne:
      if (selectionValide) Remplir(buffer, 0, n, buffer[selectedAddress]);
      break;
    case OperationBuffer::Complemente:
      Transformer(buffer, n, [](std::uint8_t v) { return static_cast<std::uint8_t>(v ^ 0xFF); });
      break;
    case OperationBuffer::InversionBits:
      Transformer(buffer, n, InverserBits);
      break;
    case OperationBuffer::RemplirLigne:
      if (selectionValide) {
        // The row's end is cut at the active region for a size that is not a
        // multiple of 16; the chip sizes always are.
        const int debut = selectedAddress & ~0xF;
        Remplir(buffer, debut, std::min(debut + 16, n), buffer[selectedAddress]);
      }
      break;
  }
}

}  // namespace zorbix
