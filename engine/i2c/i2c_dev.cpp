#include "i2c_dev.h"

#include <fcntl.h>
#include <linux/i2c-dev.h>
#include <linux/i2c.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>
#include <vector>

namespace zorbix {

AppelsI2cDev AppelsSysteme() {
  return {[](const char* chemin) { return ::open(chemin, O_RDWR | O_CLOEXEC); },
          [](int fd, unsigned long requete, unsigned long argument) { return ::ioctl(fd, requete, argument); },
          [](int fd) { return ::close(fd); }};
}

bool EstNonAcquittement(int erreur) { return erreur == ENXIO || erreur == EREMOTEIO || erreur == EIO; }

BusI2cDev::BusI2cDev(const std::string& chemin, AppelsI2cDev appels) : appels_(std::move(appels)) {
  fd_ = appels_.ouvrir(chemin.c_str());
  if (fd_ < 0) erreur_ = errno;
}

BusI2cDev::~BusI2cDev() {
  if (fd_ >= 0) appels_.fermer(fd_);
}

int BusI2cDev::Ioctl(unsigned long requete, unsigned long argument) {
  return appels_.ioctl(fd_, requete, argument) < 0 ? errno : 0;
}

unsigned long BusI2cDev::Fonctions() {
  unsigned long fonctions = 0;
  return Ioctl(I2C_FUNCS, reinterpret_cast<unsigned long>(&fonctions)) == 0 ? fonctions : 0;
}

int BusI2cDev::ChoisirEsclave(std::uint16_t adresse) { return Ioctl(I2C_SLAVE, adresse); }

int BusI2cDev::Transferer(MessageI2c* messages, std::size_t nombre) {
  std::vector<i2c_msg> noyau(nombre);
  for (std::size_t i = 0; i < nombre; ++i)
    noyau[i] = {messages[i].adresse, static_cast<__u16>(messages[i].lecture ? I2C_M_RD : 0), messages[i].longueur,
                messages[i].octets};
  i2c_rdwr_ioctl_data donnees{noyau.data(), static_cast<__u32>(nombre)};
  return Ioctl(I2C_RDWR, reinterpret_cast<unsigned long>(&donnees));
}

int BusI2cDev::Smbus(bool lecture, std::uint8_t commande, std::uint32_t taille, void* donnees) {
  i2c_smbus_ioctl_data requete{static_cast<__u8>(lecture ? I2C_SMBUS_READ : I2C_SMBUS_WRITE), commande, taille,
                               static_cast<i2c_smbus_data*>(donnees)};
  return Ioctl(I2C_SMBUS, reinterpret_cast<unsigned long>(&requete));
}

int BusI2cDev::Rapide() { return Smbus(false, 0, I2C_SMBUS_QUICK, nullptr); }

int BusI2cDev::RecevoirOctet(std::uint8_t& octet) {
  i2c_smbus_data d{};
  const int r = Smbus(true, 0, I2C_SMBUS_BYTE, &d);
  if (r == 0) octet = d.byte;
  return r;
}

int BusI2cDev::EcrireOctetDonnee(std::uint8_t commande, std::uint8_t octet) {
  i2c_smbus_data d{};
  d.byte = octet;
  return Smbus(false, commande, I2C_SMBUS_BYTE_DATA, &d);
}

int BusI2cDev::EcrireMot(std::uint8_t commande, std::uint16_t mot) {
  i2c_smbus_data d{};
  d.word = mot;
  return Smbus(false, commande, I2C_SMBUS_WORD_DATA, &d);
}

int BusI2cDev::LireOctetDonnee(std::uint8_t commande, std::uint8_t& octet) {
  i2c_smbus_data d{};
  const int r = Smbus(true, commande, I2C_SMBUS_BYTE_DATA, &d);
  if (r == 0) octet = d.byte;
  return r;
}

int BusI2cDev::EcrireBlocI2c(std::uint8_t commande, const std::uint8_t* octets, std::size_t nombre) {
  if (nombre > I2C_SMBUS_BLOCK_MAX) return EINVAL;
  i2c_smbus_data d{};
  d.block[0] = static_cast<__u8>(nombre);
  std::memcpy(d.block + 1, octets, nombre);
  return Smbus(false, commande, I2C_SMBUS_I2C_BLOCK_DATA, &d);
}

int BusI2cDev::LireBlocI2c(std::uint8_t commande, std::uint8_t* octets, std::size_t nombre) {
  if (nombre > I2C_SMBUS_BLOCK_MAX) return EINVAL;
  i2c_smbus_data d{};
  d.block[0] = static_cast<__u8>(nombre);
  const int r = Smbus(true, commande, I2C_SMBUS_I2C_BLOCK_DATA, &d);
  if (r != 0) return r;
  if (d.block[0] < nombre) return EIO;  // the driver gave fewer bytes than asked
  std::memcpy(octets, d.block + 1, nombre);
  return 0;
}

}  // namespace zorbix
