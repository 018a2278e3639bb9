#include "direct_io_backend.h"

// Only x86 processors have port instructions; elsewhere (a Raspberry Pi's
// ARM) the parallel ports are reached through ppdev alone.
#if defined(__x86_64__) || defined(__i386__)

#include <sys/io.h>

#include <cerrno>
#include <cstring>

namespace zorbix {
namespace {

constexpr unsigned long RegistresServis = 2;  // data and status

class DirectIoBackend final : public PortBackend {
 public:
  explicit DirectIoBackend(std::uint16_t base) : base_(base) {}
  ~DirectIoBackend() override { ioperm(base_, RegistresServis, 0); }
  DirectIoBackend(const DirectIoBackend&) = delete;
  DirectIoBackend& operator=(const DirectIoBackend&) = delete;

  // Only the two permitted addresses reach the instructions: any other one
  // would fault the process.
  std::uint8_t read(std::uint16_t address) override {
    if (address != base_ && address != base_ + 1) return 0xFF;
    return inb(address);
  }
  void write(std::uint16_t address, std::uint8_t value) override {
    if (address == base_) outb(value, address);
  }

 private:
  std::uint16_t base_;
};

std::string RaisonRefus(int erreur) {
  switch (erreur) {
    case EPERM:
      return "accès direct refusé : le programme n'a pas le droit d'accéder aux ports d'E/S";
    case ENOSYS:
      return "accès direct refusé : ioperm non pris en charge par ce système";
    default:
      return std::string("accès direct refusé : ") + std::strerror(erreur);
  }
}

}  // namespace

std::unique_ptr<PortBackend> OuvrirAccesDirect(std::uint16_t base, std::string& raison) {
  if (ioperm(base, RegistresServis, 1) != 0) {
    raison = RaisonRefus(errno);
    return nullptr;
  }
  return std::make_unique<DirectIoBackend>(base);
}

}  // namespace zorbix

#else  // not x86: no port instructions

namespace zorbix {

std::unique_ptr<PortBackend> OuvrirAccesDirect(std::uint16_t, std::string& raison) {
  raison = "pas d'accès direct : les instructions d'E/S in/out n'existent que sur les processeurs x86";
  return nullptr;
}

}  // namespace zorbix

#endif
