// One Linux I2C bus reached through i2c-dev (/dev/i2c-N): the kernel's I2C
// core does the transactions in its driver (a Raspberry Pi's controller, a
// USB bridge, a PC's SMBus), so the program hands it whole messages instead
// of driving lines.
//
// Every call goes through AppelsI2cDev, so that the simulated bus and the
// tests answer the very ioctls the real device gets.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace zorbix {

// open, ioctl and close as the system offers them; `argument` is the ioctl's
// third argument (an address for I2C_SLAVE, a pointer cast to an integer for
// the others). Each returns what the system call does and leaves its reason
// in errno.
struct AppelsI2cDev {
  std::function<int(const char* chemin)> ouvrir;
  std::function<int(int fd, unsigned long requete, unsigned long argument)> ioctl;
  std::function<int(int fd)> fermer;
};

// The real system calls.
AppelsI2cDev AppelsSysteme();

// One I2C message, as struct i2c_msg carries it.
struct MessageI2c {
  std::uint16_t adresse;  // 7-bit address
  bool lecture;
  std::uint8_t* octets;
  std::uint16_t longueur;
};

// A NACK comes back as ENXIO, EREMOTEIO or EIO depending on the driver.
bool EstNonAcquittement(int erreur);

class BusI2cDev {
 public:
  // Opens `chemin`; Ouvert() tells whether it worked, Erreur() why not.
  BusI2cDev(const std::string& chemin, AppelsI2cDev appels);
  ~BusI2cDev();
  BusI2cDev(const BusI2cDev&) = delete;
  BusI2cDev& operator=(const BusI2cDev&) = delete;

  bool Ouvert() const { return fd_ >= 0; }
  int Erreur() const { return erreur_; }

  // I2C_FUNCS: the I2C_FUNC_* bits of the bus (0 if the ioctl fails).
  unsigned long Fonctions();

  // I2C_SLAVE (never I2C_SLAVE_FORCE): the address of the SMBus calls that
  // follow. 0 or the errno (EBUSY when a kernel driver owns the address).
  int ChoisirEsclave(std::uint16_t adresse);

  // I2C_RDWR: the messages in one transaction, a repeated start between
  // them and a stop at the end. 0 or the errno.
  int Transferer(MessageI2c* messages, std::size_t nombre);

  // The SMBus transactions the chip operations use; 0 or the errno, on the
  // address ChoisirEsclave set.
  int Rapide();                                                        // quick write
  int RecevoirOctet(std::uint8_t& octet);                              // receive byte
  int EcrireOctetDonnee(std::uint8_t commande, std::uint8_t octet);    // write byte data
  int EcrireMot(std::uint8_t commande, std::uint16_t mot);             // write word data, low byte first
  int LireOctetDonnee(std::uint8_t commande, std::uint8_t& octet);     // read byte data
  // I2C block write / read: `commande` then up to 32 bytes.
  int EcrireBlocI2c(std::uint8_t commande, const std::uint8_t* octets, std::size_t nombre);
  int LireBlocI2c(std::uint8_t commande, std::uint8_t* octets, std::size_t nombre);

 private:
  int Smbus(bool lecture, std::uint8_t commande, std::uint32_t taille, void* donnees);
  int Ioctl(unsigned long requete, unsigned long argument);

  AppelsI2cDev appels_;
  int fd_ = -1;
  int erreur_ = 0;
};

}  // namespace zorbix
