// A simulated CH341A with a chip model of one catalogue type in its socket,
// and the chip operations over it, for the CH341A tests.
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "engine/chips.h"
#include "engine/sim/ch341a_device.h"
#include "engine/sim/ch341a_transport_sim.h"
#include "engine/sim/eeprom_model.h"
#include "engine/usb/ch341a_chip.h"
#include "tests/random_bytes.h"

namespace zorbix::test {

inline std::string Hex(const std::uint8_t* octets, std::size_t n) {
  std::string texte;
  char t[4];
  for (std::size_t i = 0; i < n; ++i) {
    std::snprintf(t, sizeof t, i ? " %02X" : "%02X", octets[i]);
    texte += t;
  }
  return texte;
}

// Keeps every OUT stream, in hexadecimal, on its way to the device.
class TransportNote final : public TransportCh341a {
 public:
  explicit TransportNote(TransportCh341a& suite) : suite_(suite) {}
  bool envoyer(const std::uint8_t* octets, std::size_t taille) override {
    flux.push_back(Hex(octets, taille));
    return suite_.envoyer(octets, taille);
  }
  bool recevoir(std::uint8_t* octets, std::size_t taille) override { return suite_.recevoir(octets, taille); }
  std::vector<std::string> flux;

 private:
  TransportCh341a& suite_;
};

// `type`'s chip (nullptr type -1: empty socket) with random contents.
struct BancCh341a {
  explicit BancCh341a(int type, ReglagesCh341a reglages = {})
      : modele(type >= 0 ? EepromModel::create(type) : nullptr),
        device(modele.get()),
        usb(device),
        note(usb),
        puce(note, type >= 0 ? type : TypeMemoireParDefaut, SpecMemoire(type >= 0 ? type : TypeMemoireParDefaut).Taille,
             reglages, usb.horloge()) {
    device.transcrire(&transcript);
    if (modele) modele->memory() = Aleatoires(modele->size(), 11u + static_cast<unsigned>(type));
  }
  Progression Noter() {
    positions.clear();
    return [this](int p) { positions.push_back(p); };
  }

  std::unique_ptr<EepromModel> modele;
  BusTranscript transcript;
  Ch341aDevice device;
  TransportSimule usb;
  TransportNote note;
  PuceCh341a puce;
  std::vector<int> positions;
};

}  // namespace zorbix::test
