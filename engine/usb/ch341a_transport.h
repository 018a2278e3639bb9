// What the CH341A chip operations need from the device: one OUT transfer per
// command stream, and the answer bytes back. Implemented over libusb for a
// real device and over the simulated device for tests and the simulator.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zorbix {

class TransportCh341a {
 public:
  virtual ~TransportCh341a() = default;

  // One bulk OUT transfer carrying one whole stream (at most 32 bytes).
  // False when the device is gone or refused the transfer.
  virtual bool envoyer(const std::uint8_t* octets, std::size_t taille) = 0;
  // Exactly `taille` answer bytes, in as many IN transfers (of at most 32
  // bytes) as needed. False when the device is gone or answers nothing in
  // time.
  virtual bool recevoir(std::uint8_t* octets, std::size_t taille) = 0;
};

}  // namespace zorbix
