#include "engine/sim/ch341a_device.h"

#include <algorithm>

namespace zorbix {

void Ch341aDevice::inserer(EepromModel* puce) {
  if (puce_) puce_->setClock(nullptr);
  puce_ = puce;
  if (puce_) puce_->setClock(&us_);
}

bool Ch341aDevice::sortie(const std::uint8_t* octets, std::size_t taille) {
  if (!branche() || taille > ch341a::TaillePaquet) return false;
  ++sorties_;
  avancer(AllerRetourNs);
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

void Ch341aDevice::avancer(std::uint64_t ns) {
  ns_ += ns;
  us_ = ns_ / 1000;
}

void Ch341aDevice::bits(int nombre) {
  const std::uint64_t ns =
      static_cast<std::uint64_t>(nombre) * 1000000000ULL / static_cast<std::uint64_t>(FrequenceHz(vitesse_));
  avancer(ns);
  busNs_ += ns;
}

void Ch341aDevice::start() {
  if (puce_) puce_->start();
  if (transcript_) transcript_->noteStart(us_);
  bits(1);
}

void Ch341aDevice::stop() {
  if (puce_) puce_->stop();
  if (transcript_) transcript_->noteStop(us_);
  bits(1);
}

bool Ch341aDevice::ecrireOctet(std::uint8_t octet) {
  const bool acquitte = puce_ && puce_->writeByte(octet);
  if (transcript_) transcript_->noteByte(octet, acquitte ? BusEvent::Ack::Chip : BusEvent::Ack::None, us_);
  bits(9);
  return acquitte;
}

void Ch341aDevice::envoyer(const std::uint8_t* octets, std::size_t& i, std::size_t taille, int nombre) {
  if (nombre == 0) {
    // 0x80 alone: one byte, and its acknowledge answered.
    if (i >= taille) return;
    const bool acquitte = ecrireOctet(octets[i++]);
    reponses_.push_back(acquitte ? 0x00 : ch341a::StatutNonAcquitte);
    return;
  }
  for (int k = 0; k < nombre && i < taille; ++k) ecrireOctet(octets[i++]);
}

void Ch341aDevice::lire(int nombre, bool acquitter) {
  for (int k = 0; k < nombre; ++k) {
    const std::uint8_t octet = puce_ ? puce_->readByte() : 0xFF;
    reponses_.push_back(octet);
    bits(8);
    if (puce_) puce_->masterAck(acquitter);
    if (transcript_) transcript_->noteByte(octet, acquitter ? BusEvent::Ack::Master : BusEvent::Ack::None, us_);
    bits(1);
  }
}

void Ch341aDevice::executer(const std::uint8_t* octets, std::size_t taille) {
  for (std::size_t i = 1; i < taille;) {
    const std::uint8_t c = octets[i++];
    const int n = c & ch341a::MasqueLongueur;
    if (c == ch341a::Fin) return;
    if (c == ch341a::Start) {
      start();
    } else if (c == ch341a::Stop) {
      stop();
    } else if ((c & 0xC0) == ch341a::Envoi) {
      envoyer(octets, i, taille, n);
    } else if ((c & 0xC0) == ch341a::Lecture) {
      // 0xC0|n: n bytes acknowledged; 0xC0 alone: one, not acknowledged.
      lire(n == 0 ? 1 : n, n != 0);
    } else if ((c & 0xF0) == ch341a::Vitesse) {
      vitesse_ = static_cast<VitesseBus>(c & 3);
    } else if ((c & 0xF0) == ch341a::AttenteMicro) {
      avancer(static_cast<std::uint64_t>(c & 0x0F) * 1000);
    } else if ((c & 0xF0) == ch341a::AttenteMilli) {
      avancer(static_cast<std::uint64_t>(c & 0x0F) * 1000000);
    } else {
      return;
    }
  }
}

}  // namespace zorbix
