// The CH341A's I2C command stream: what one bulk OUT transfer carries.
//
// A stream is 0xAA, then commands, then 0x00, all inside one 32-byte
// packet: packets holding several streams are not reliable on real boards.
//   0x74        START (also the repeated START)
//   0x75        STOP
//   0x80|n      send the next n bytes (n = 1..31), their acknowledges unseen
//   0x80        alone: send the next byte and answer one status byte on the
//               IN endpoint, bit 7 set when the byte was not acknowledged
//   0xC0|n      read n bytes, acknowledging each (answered on the IN endpoint)
//   0xC0        alone: read one byte without acknowledging it, which ends a
//               read (the last byte of a read must be read so)
//   0x60|s      bus speed: s = 0 20 kHz, 1 100 kHz, 2 400 kHz, 3 750 kHz
//   0x40|n      wait n microseconds; 0x50|n wait n milliseconds
// Answers come back raw, at most 32 bytes per IN transfer.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zorbix {

namespace ch341a {
constexpr std::uint8_t Flux = 0xAA;
constexpr std::uint8_t Start = 0x74;
constexpr std::uint8_t Stop = 0x75;
constexpr std::uint8_t Envoi = 0x80;
constexpr std::uint8_t Lecture = 0xC0;
constexpr std::uint8_t Vitesse = 0x60;
constexpr std::uint8_t AttenteMicro = 0x40;
constexpr std::uint8_t AttenteMilli = 0x50;
constexpr std::uint8_t Fin = 0x00;
constexpr std::uint8_t MasqueLongueur = 0x3F;  // the count carried by 0x80|n and 0xC0|n
constexpr int MaxEnvoi = 31;
constexpr std::uint8_t StatutNonAcquitte = 0x80;
constexpr std::size_t TaillePaquet = 32;
constexpr int MaxLecture = 32;  // one IN transfer
constexpr std::uint16_t Vendeur = 0x1A86;
constexpr std::uint16_t Produit = 0x5512;
constexpr unsigned char PointSortie = 0x02;
constexpr unsigned char PointEntree = 0x82;
}  // namespace ch341a

// The bus speeds the device offers, by their 0x60 code; 100 kHz suits every
// chip of the catalogue.
enum class VitesseBus : std::uint8_t { K20 = 0, K100 = 1, K400 = 2, K750 = 3 };
constexpr VitesseBus VitesseParDefaut = VitesseBus::K100;
int FrequenceHz(VitesseBus vitesse);

// Builds one OUT stream, 0xAA first and 0x00 last, and counts the answer
// bytes it will bring back. The caller checks place() before each addition:
// a command that does not fit is a programming error, not a runtime case.
class PaquetCh341a {
 public:
  PaquetCh341a();

  // Bytes still free for commands, the closing 0x00 kept aside.
  std::size_t place() const { return ch341a::TaillePaquet - 1 - taille_; }
  // Answer bytes the device sends back for this stream.
  int reponses() const { return reponses_; }

  void vitesse(VitesseBus v);
  void start();
  void stop();
  // 0x80|n and the n bytes (1..31): acknowledges not reported.
  void envoyer(const std::uint8_t* octets, int nombre);
  // 0x80 and the byte: one status byte comes back.
  void envoyerAvecStatut(std::uint8_t octet);
  // `nombre` bytes read (1..32), all acknowledged except the last one when
  // `finir`: that one ends the read (0xC0|n-1 then 0xC0).
  void lire(int nombre, bool finir);

  // The finished stream (0x00 appended on the first call).
  const std::uint8_t* octets();
  std::size_t taille();

 private:
  void ajouter(std::uint8_t octet);

  std::uint8_t octets_[ch341a::TaillePaquet];
  std::size_t taille_ = 0;
  bool termine_ = false;
  int reponses_ = 0;
};

}  // namespace zorbix
