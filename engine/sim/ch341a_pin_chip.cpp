#include "engine/sim/ch341a_pin_chip.h"

namespace zorbix {

PuceSurBroches::PuceSurBroches(EepromModel* puce) : puce_(puce), broches_(puce) {
  // The supply comes on with the lines idle high.
  lignes(true, true, 0);
}

void PuceSurBroches::lignes(bool scl, bool sda, std::uint64_t us) {
  // The wire is the wired-AND of the master and the chip. The chip keeps
  // this time only while the level is set: between two events its time
  // stands still, and it never keeps a pointer into this object.
  if (puce_) {
    maintenant_ = us;
    puce_->setClock(&maintenant_);
    broches_.clock(scl, sda && sdaHaute(), false, true);
    puce_->setClock(nullptr);
  }
  if (transcript_) transcript_->sample(scl, sda && sdaHaute(), !sda, !sdaHaute(), us);
}

void PuceSurBroches::start(std::uint64_t us) {
  lignes(false, true, us);
  lignes(true, true, us);
  lignes(true, false, us);  // SDA falls while SCL is high
  lignes(false, false, us);
}

void PuceSurBroches::stop(std::uint64_t us) {
  lignes(false, false, us);
  lignes(true, false, us);
  lignes(true, true, us);  // SDA rises while SCL is high
}

bool PuceSurBroches::writeByte(std::uint8_t octet, std::uint64_t us) {
  for (int bit = 7; bit >= 0; --bit) {
    const bool niveau = (octet >> bit) & 1;
    lignes(false, niveau, us);
    lignes(true, niveau, us);
    lignes(false, niveau, us);
  }
  lignes(false, true, us);
  lignes(true, true, us);
  const bool acquitte = !sdaHaute();
  lignes(false, true, us);
  return acquitte;
}

std::uint8_t PuceSurBroches::readByte(std::uint64_t us) {
  int valeur = 0;
  lignes(false, true, us);
  for (int bit = 7; bit >= 0; --bit) {
    lignes(true, true, us);
    valeur |= (sdaHaute() ? 1 : 0) << bit;
    lignes(false, true, us);
  }
  return static_cast<std::uint8_t>(valeur);
}

void PuceSurBroches::masterAck(bool acquitte, std::uint64_t us) {
  lignes(false, !acquitte, us);
  lignes(true, !acquitte, us);
  lignes(false, !acquitte, us);
  lignes(false, true, us);
}

}  // namespace zorbix
