#include "usbip_ch341a.h"

#include <algorithm>

namespace zorbix {

std::vector<std::uint8_t> ReponseurUsbip::Appareil::descripteurAppareil() const {
  return {18, 1, 0x10, 0x01, 0xFF, 0, 0, 8, 0x86, 0x1A, 0x12, 0x55, 0x04, 0x03, 0, 0, 0, 1};
}

// Vendor class, bulk endpoints 0x82 and 0x02 of 32 bytes, the interrupt
// endpoint 0x81 the board has but the I2C mode never uses.
std::vector<std::uint8_t> ReponseurUsbip::Appareil::descripteurConfiguration() const {
  return {9, 2, 39, 0, 1, 1, 0, 0x80, 0x31,  // one interface, bus powered, 98 mA
          9, 4, 0,  0, 3, 0xFF, 1, 2, 0,     // interface 0, three endpoints, vendor class
          7, 5, 0x82, 2, 32, 0, 0,           // bulk IN
          7, 5, 0x02, 2, 32, 0, 0,           // bulk OUT
          7, 5, 0x81, 3, 8, 0, 1};           // interrupt IN
}

bool ReponseurUsbip::Appareil::sortie(std::uint32_t ep, const std::uint8_t* donnees, std::uint32_t longueur) {
  return ep == 2 && device_.sortie(donnees, longueur);
}

std::size_t ReponseurUsbip::Appareil::entree(std::uint32_t ep, std::uint8_t* donnees, std::size_t max) {
  if (ep != 2 || device_.reponsesEnAttente() == 0) return 0;
  return device_.entree(donnees, std::min<std::size_t>(max, ch341a::TaillePaquet));
}

}  // namespace zorbix
