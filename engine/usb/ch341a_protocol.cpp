#include "engine/usb/ch341a_protocol.h"

#include <cassert>

namespace zorbix {

int FrequenceHz(VitesseBus vitesse) {
  switch (vitesse) {
    case VitesseBus::K20: return 20000;
    case VitesseBus::K100: return 100000;
    case VitesseBus::K400: return 400000;
    case VitesseBus::K750: return 750000;
  }
  return 100000;
}

PaquetCh341a::PaquetCh341a() { ajouter(ch341a::Flux); }

void PaquetCh341a::ajouter(std::uint8_t octet) {
  assert(!termine_ && taille_ < ch341a::TaillePaquet - 1);
  octets_[taille_++] = octet;
}

void PaquetCh341a::vitesse(VitesseBus v) { ajouter(static_cast<std::uint8_t>(ch341a::Vitesse | static_cast<int>(v))); }

void PaquetCh341a::start() { ajouter(ch341a::Start); }

void PaquetCh341a::stop() { ajouter(ch341a::Stop); }

void PaquetCh341a::envoyer(const std::uint8_t* octets, int nombre) {
  assert(nombre >= 1 && nombre <= ch341a::MaxEnvoi);
  ajouter(static_cast<std::uint8_t>(ch341a::Envoi | nombre));
  for (int i = 0; i < nombre; ++i) ajouter(octets[i]);
}

void PaquetCh341a::envoyerAvecStatut(std::uint8_t octet) {
  ajouter(ch341a::Envoi);
  ajouter(octet);
  ++reponses_;
}

void PaquetCh341a::lire(int nombre, bool finir) {
  assert(nombre >= 1 && nombre <= ch341a::MaxLecture);
  const int acquittes = finir ? nombre - 1 : nombre;
  if (acquittes > 0) ajouter(static_cast<std::uint8_t>(ch341a::Lecture | acquittes));
  if (finir) ajouter(ch341a::Lecture);
  reponses_ += nombre;
}

const std::uint8_t* PaquetCh341a::octets() {
  if (!termine_) {
    octets_[taille_++] = ch341a::Fin;
    termine_ = true;
  }
  return octets_;
}

std::size_t PaquetCh341a::taille() {
  octets();
  return taille_;
}

}  // namespace zorbix
