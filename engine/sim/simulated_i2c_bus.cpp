#include "simulated_i2c_bus.h"

#include <linux/i2c-dev.h>
#include <linux/i2c.h>

#include <cerrno>
#include <utility>
#include <vector>

namespace zorbix {
namespace {

constexpr int FdSimule = 1000;  // the descriptor the bus hands out
// One ioctl's trip through the kernel and the bus driver, in microseconds.
constexpr std::uint64_t CoutIoctl = 20;

int Refuser(int erreur) {
  errno = erreur;
  return -1;
}

}  // namespace

BusI2cSimule::BusI2cSimule(std::string chemin, ParametresBusSimule parametres, EepromModel* puce)
    : chemin_(std::move(chemin)), parametres_(std::move(parametres)) {
  InsererPuce(puce);
}

// The chip, powered all the time with pin 7 grounded, as the boards that
// reach it through a kernel's bus wire it, keeps the bus's time.
void BusI2cSimule::InsererPuce(EepromModel* puce) {
  if (puce_) puce_->setClock(nullptr);
  puce_ = puce;
  if (puce_) puce_->setClock(&maintenant_);
}

AppelsI2cDev BusI2cSimule::Appels() {
  return {[this](const char* chemin) { return chemin_ == chemin ? FdSimule : Refuser(ENOENT); },
          [this](int fd, unsigned long requete, unsigned long argument) {
            return fd == FdSimule ? Ioctl(requete, argument) : Refuser(EBADF);
          },
          [](int fd) { return fd == FdSimule ? 0 : Refuser(EBADF); }};
}

int BusI2cSimule::Ioctl(unsigned long requete, unsigned long argument) {
  ++ioctls_;
  maintenant_ += CoutIoctl;
  switch (requete) {
    case I2C_FUNCS: {
      unsigned long f = I2C_FUNC_SMBUS_QUICK | I2C_FUNC_SMBUS_BYTE | I2C_FUNC_SMBUS_BYTE_DATA |
                        I2C_FUNC_SMBUS_WORD_DATA | I2C_FUNC_SMBUS_I2C_BLOCK;
      if (!parametres_.smbusSeulement) f |= I2C_FUNC_I2C;
      *reinterpret_cast<unsigned long*>(argument) = f;
      return 0;
    }
    case I2C_SLAVE:
      if (argument > 0x7F) return Refuser(EINVAL);
      if (parametres_.adressesTenues.count(static_cast<std::uint16_t>(argument))) return Refuser(EBUSY);
      esclave_ = static_cast<std::uint16_t>(argument);
      return 0;
    case I2C_RDWR: {
      if (parametres_.smbusSeulement) return Refuser(EOPNOTSUPP);
      const auto* donnees = reinterpret_cast<const i2c_rdwr_ioctl_data*>(argument);
      if (donnees->nmsgs == 0 || donnees->nmsgs > I2C_RDWR_IOCTL_MAX_MSGS) return Refuser(EINVAL);
      std::vector<MessageI2c> messages;
      for (__u32 i = 0; i < donnees->nmsgs; ++i) {
        const i2c_msg& m = donnees->msgs[i];
        messages.push_back({m.addr, (m.flags & I2C_M_RD) != 0, m.buf, m.len});
      }
      const int r = Transaction(messages.data(), messages.size());
      return r == 0 ? static_cast<int>(donnees->nmsgs) : Refuser(r);
    }
    case I2C_SMBUS: {
      const int r = Smbus(argument);
      return r == 0 ? 0 : Refuser(r);
    }
    default:
      return Refuser(ENOTTY);
  }
}

bool BusI2cSimule::Octet(std::uint8_t octet) {
  Temps(9);
  return puce_ && puce_->writeByte(octet);
}

// The messages on the wire: a start, each one's address byte and bytes, a
// repeated start between them, a stop at the end, or at the first byte
// refused. 0, or ENXIO for an address refused and the bus's own errno for a
// data byte refused.
int BusI2cSimule::Transaction(MessageI2c* messages, std::size_t nombre) {
  int resultat = 0;
  for (std::size_t i = 0; i < nombre && resultat == 0; ++i) {
    const MessageI2c& m = messages[i];
    if (m.lecture && m.longueur == 0) {
      resultat = EINVAL;
      break;
    }
    Temps(1);
    if (puce_) puce_->start();
    if (!Octet(static_cast<std::uint8_t>(m.adresse << 1 | (m.lecture ? 1 : 0)))) {
      resultat = ENXIO;
      break;
    }
    for (std::uint16_t k = 0; k < m.longueur; ++k) {
      if (m.lecture) {
        Temps(9);
        m.octets[k] = puce_->readByte();
        puce_->masterAck(k + 1 < m.longueur);
      } else if (!Octet(m.octets[k])) {
        resultat = EIO;  // a data byte refused
        break;
      }
    }
  }
  Temps(1);
  if (puce_) puce_->stop();
  return resultat;
}

// The SMBus transactions as the kernel emulates them on an I2C bus, which
// is also the bytes a SMBus controller puts on the wire.
int BusI2cSimule::Smbus(unsigned long argument) {
  const auto* d = reinterpret_cast<const i2c_smbus_ioctl_data*>(argument);
  const bool lecture = d->read_write == I2C_SMBUS_READ;
  std::uint8_t commande = d->command;
  i2c_smbus_data* donnees = d->data;
  switch (d->size) {
    case I2C_SMBUS_QUICK: {
      MessageI2c m{esclave_, lecture, nullptr, 0};
      return lecture ? EOPNOTSUPP : Transaction(&m, 1);
    }
    case I2C_SMBUS_BYTE: {
      MessageI2c m{esclave_, lecture, lecture ? &donnees->byte : &commande, 1};
      return Transaction(&m, 1);
    }
    case I2C_SMBUS_BYTE_DATA:
    case I2C_SMBUS_WORD_DATA: {
      const std::uint16_t n = d->size == I2C_SMBUS_BYTE_DATA ? 1 : 2;
      std::uint8_t octets[3] = {commande, donnees->block[0], donnees->block[1]};
      if (!lecture) {
        MessageI2c m{esclave_, false, octets, static_cast<std::uint16_t>(1 + n)};
        return Transaction(&m, 1);
      }
      MessageI2c m[2] = {{esclave_, false, &commande, 1}, {esclave_, true, donnees->block, n}};
      return Transaction(m, 2);
    }
    case I2C_SMBUS_I2C_BLOCK_DATA: {
      const std::uint8_t n = donnees->block[0];
      if (n == 0 || n > I2C_SMBUS_BLOCK_MAX) return EINVAL;
      if (!lecture) {
        std::vector<std::uint8_t> octets{commande};
        octets.insert(octets.end(), donnees->block + 1, donnees->block + 1 + n);
        MessageI2c m{esclave_, false, octets.data(), static_cast<std::uint16_t>(octets.size())};
        return Transaction(&m, 1);
      }
      MessageI2c m[2] = {{esclave_, false, &commande, 1}, {esclave_, true, donnees->block + 1, n}};
      return Transaction(m, 2);
    }
    default:
      return EOPNOTSUPP;
  }
}

}  // namespace zorbix
