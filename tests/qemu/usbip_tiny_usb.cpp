#include "usbip_tiny_usb.h"

#include <linux/i2c.h>

namespace zorbix {
namespace {

// The board's requests: bRequest of a vendor request to interface 0.
constexpr int Echo = 0, Fonctions = 1, DelaiBit = 2, Etat = 3, MessageI2c = 4;
// Added to MessageI2c: the first message of a transfer (a START before it,
// where the others have a repeated START), the last (a STOP after it).
constexpr int Debut = 1, Fin = 2;
constexpr std::uint8_t AdresseAcquittee = 1, AdresseRefusee = 2;
constexpr std::uint8_t VersInterface = 0x41, DepuisInterface = 0xC1;
constexpr std::uint64_t TrameUs = 1000;
// The board's buffer: a longer read is refused.
constexpr std::uint16_t LectureMax = 254;

}  // namespace

void TinyUsbI2c::inserer(EepromModel* puce) {
  if (puce_) puce_->setClock(nullptr);
  puce_ = puce;
  if (puce_) puce_->setClock(&us_);
}

// A vendor-class device of version 1.04, low speed (8-byte endpoint 0).
std::vector<std::uint8_t> TinyUsbI2c::descripteurAppareil() const {
  return {18, 1, 0x10, 0x01, 0xFF, 0, 0, 8, 0x03, 0x04, 0x31, 0xC6, 0x04, 0x01, 0, 0, 0, 1};
}

// One interface without endpoints: everything goes through endpoint 0.
std::vector<std::uint8_t> TinyUsbI2c::descripteurConfiguration() const {
  return {9, 2, 18, 0, 1, 1, 0, 0x80, 0x32,  // one interface, bus powered, 100 mA
          9, 4, 0,  0, 0, 0xFF, 0, 0, 0};    // interface 0, no endpoint, vendor class
}

int TinyUsbI2c::controle(const std::uint8_t* setup, const std::uint8_t* donnees, std::vector<std::uint8_t>& reponse) {
  us_ += TrameUs;
  const int requete = setup[1];
  const std::uint16_t valeur = static_cast<std::uint16_t>(setup[2] | setup[3] << 8);
  const std::uint16_t index = static_cast<std::uint16_t>(setup[4] | setup[5] << 8);
  const std::uint16_t longueur = static_cast<std::uint16_t>(setup[6] | setup[7] << 8);
  if (setup[0] != VersInterface && setup[0] != DepuisInterface) return -EPIPE;
  const bool entrante = setup[0] == DepuisInterface;
  if (requete >= MessageI2c && requete <= (MessageI2c | Debut | Fin)) {
    // The direction of the request is the message's.
    if (entrante != ((valeur & I2C_M_RD) != 0) || (entrante && longueur > LectureMax)) return -EPIPE;
    return message(requete, valeur, index, donnees, longueur, reponse);
  }
  if (requete == Echo && entrante) {
    reponse = {static_cast<std::uint8_t>(valeur), static_cast<std::uint8_t>(valeur >> 8)};
  } else if (requete == Fonctions && entrante) {
    const std::uint32_t f = I2C_FUNC_I2C | I2C_FUNC_SMBUS_EMUL;
    reponse = {static_cast<std::uint8_t>(f), static_cast<std::uint8_t>(f >> 8), static_cast<std::uint8_t>(f >> 16),
               static_cast<std::uint8_t>(f >> 24)};
  } else if (requete == DelaiBit && !entrante) {
    delaiBitUs_ = valeur;
  } else if (requete == Etat && entrante) {
    reponse = {etat_};
  } else {
    return -EPIPE;
  }
  return 0;
}

int TinyUsbI2c::message(int requete, std::uint16_t drapeaux, std::uint16_t adresse, const std::uint8_t* donnees,
                        std::uint16_t longueur, std::vector<std::uint8_t>& reponse) {
  ++messages_;
  const bool lecture = (drapeaux & I2C_M_RD) != 0;
  // A START, or a repeated START inside a transfer: the chip sees the same.
  if (puce_) puce_->start();
  bits(1);
  const bool acquitte = puce_ && puce_->writeByte(static_cast<std::uint8_t>(adresse << 1 | (lecture ? 1 : 0)));
  bits(9);
  etat_ = acquitte ? AdresseAcquittee : AdresseRefusee;
  // A read's data stage is answered in full even when nobody acknowledged:
  // the driver reads the status after it.
  if (lecture) reponse.assign(longueur, 0);
  for (int i = 0; acquitte && i < longueur; ++i) {
    if (lecture) {
      reponse[static_cast<std::size_t>(i)] = puce_->readByte();
      puce_->masterAck(i + 1 < longueur);  // the last byte of a read is not acknowledged
    } else {
      puce_->writeByte(donnees[i]);
    }
    bits(9);
  }
  if (requete & Fin) {
    if (puce_) puce_->stop();
    bits(1);
  }
  return 0;
}

}  // namespace zorbix
