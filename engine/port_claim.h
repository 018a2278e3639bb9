// One operation's hold on a port: taken when the operation starts, given back
// when it ends, so that another program (the command line beside the window,
// a printer on the same port) waits for one operation at most.
#pragma once

#include <cstdint>
#include <string>

namespace zorbix {

class PortPris {
 public:
  // Takes the port at `base` from the installed backend (PortBackend::prendre).
  explicit PortPris(std::uint16_t base);
  // Gives the port back if Rendre was not called; a failure then is lost, so
  // an operation that changed something calls Rendre itself.
  ~PortPris();
  PortPris(const PortPris&) = delete;
  PortPris& operator=(const PortPris&) = delete;

  // False when the port could not be had; Raison() says why, in French.
  bool Pris() const { return pris_; }
  const std::string& Raison() const { return raison_; }

  // Gives the port back now. False, with the reason in Raison(), when what
  // the operation did cannot be kept (a virtual chip not written back).
  bool Rendre();

 private:
  std::uint16_t base_;
  std::string raison_;  // before pris_: the constructor's prendre writes it
  bool pris_;
};

}  // namespace zorbix
