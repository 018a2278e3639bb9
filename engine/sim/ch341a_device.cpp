#include "engine/sim/ch341a_device.h"

#include <algorithm>

namespace zorbix {

bool Ch341aDevice::sortie(const std::uint8_t* octets, std::size_t taille) {
  if (!branche() || taille > ch341a::TaillePaquet) return false;
  ++sorties_;
  ns_ += AllerRetourNs;
  if (taille > 0 && octets[0] == ch341a::Flux) executer(octets, taille);
  return true;
}

std::size_t Ch341aDevice::entree(std::uint8_t* octets, std::size_t max) {
  if (!branche()) return 0;
  const std::size_t n = std::min({max, reponses_.size(), ch341a::TaillePaquet});
  if (n == 0) return 0;
  ++entrees_;
  std::copy_n(reponses_.begin(), n, octets);
  reponses_.erase(reponses_.begin(), reponses_.begin() + static_cast<long>(n));
  return n;
}

void Ch341aDevice::bits(int nombre) {
  const std::uint64_t ns =
      static_cast<std::uint64_t>(nombre) * 1000000000ULL / static_cast<std::uint64_t>(FrequenceHz(vitesse_));
  ns_ += ns;
  busNs_ += ns;
}

void Ch341aDevice::envoyer(const std::uint8_t* octets, std::size_t& i, std::size_t taille, int nombre) {
  if (nombre == 0) {
    // 0x80 alone: one byte, and its acknowledge answered.
    if (i >= taille) return;
    const bool acquitte = puce_.writeByte(octets[i++], us());
    bits(9);
    ++octetsBus_;
    reponses_.push_back(acquitte ? 0x00 : ch341a::StatutNonAcquitte);
    return;
  }
  for (int k = 0; k < nombre && i < taille; ++k) {
    puce_.writeByte(octets[i++], us());
    bits(9);
    ++octetsBus_;
  }
}

void Ch341aDevice::lire(int nombre, bool acquitter) {
  for (int k = 0; k < nombre; ++k) {
    reponses_.push_back(puce_.readByte(us()));
    bits(8);
    puce_.masterAck(acquitter, us());
    bits(1);
    ++octetsBus_;
  }
}

void Ch341aDevice::executer(const std::uint8_t* octets, std::size_t taille) {
  for (std::size_t i = 1; i < taille;) {
    const std::uint8_t c = octets[i++];
    const int n = c & ch341a::MasqueLongueur;
    if (c == ch341a::Fin) return;
    if (c == ch341a::Start) {
      puce_.start(us());
      bits(1);
    } else if (c == ch341a::Stop) {
      puce_.stop(us());
      bits(1);
    } else if ((c & 0xC0) == ch341a::Envoi) {
      envoyer(octets, i, taille, n);
    } else if ((c & 0xC0) == ch341a::Lecture) {
      // 0xC0|n: n bytes acknowledged; 0xC0 alone: one, not acknowledged.
      lire(n == 0 ? 1 : n, n != 0);
    } else if ((c & 0xF0) == ch341a::Vitesse) {
      vitesse_ = static_cast<VitesseBus>(c & 3);
    } else if ((c & 0xF0) == ch341a::AttenteMicro) {
      ns_ += static_cast<std::uint64_t>(c & 0x0F) * 1000;
    } else if ((c & 0xF0) == ch341a::AttenteMilli) {
      ns_ += static_cast<std::uint64_t>(c & 0x0F) * 1000000;
    } else {
      return;
    }
  }
}

}  // namespace zorbix
