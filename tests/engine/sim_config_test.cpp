// ZORBIX_SIMULATION values, the virtual chips' files and the VCD trace.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "engine/sim/simulation_config.h"
#include "sim_fixture.h"

namespace zorbix::simtest {
namespace {

class TempDir {
 public:
  TempDir() {
    char pattern[] = "/tmp/zorbix_sim_XXXXXX";
    path_ = ::mkdtemp(pattern);
  }
  ~TempDir() { std::filesystem::remove_all(path_); }
  std::string file(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string Hex(unsigned value) {
  char text[8];
  std::snprintf(text, sizeof text, "%02X", value);
  return text;
}

void Spit(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

TEST(SimulationConfig, GoodValuesBuildTheAdapters) {
  std::string erreur;
  auto sim = CreerSimulation("LPT1:24C16", erreur);
  ASSERT_TRUE(sim) << erreur;
  EXPECT_EQ(sim->describe(), std::vector<std::string>{"LPT1 (0x378) : adaptateur simulé, 24C16"});
  EXPECT_EQ(sim->adapter(AdresseLPT1)->chip()->chipType(), 6);

  sim = CreerSimulation(" lpt3 : pcf8582 ; LPT2:empty;", erreur);
  ASSERT_TRUE(sim) << erreur;
  EXPECT_EQ(sim->describe(), (std::vector<std::string>{"LPT3 (0x3BC) : adaptateur simulé, PCF8582",
                                                        "LPT2 (0x278) : adaptateur simulé, support vide"}));
  EXPECT_EQ(sim->adapter(AdresseLPT1), nullptr);
  EXPECT_EQ(sim->adapter(AdresseLPT2)->chip(), nullptr);

  // Any other address is an extra port, named in the order given.
  sim = CreerSimulation("0xdc00:24C02;LPT1:empty;0XD000:empty", erreur);
  ASSERT_TRUE(sim) << erreur;
  EXPECT_EQ(sim->describe(), (std::vector<std::string>{"sim0 (0xDC00) : adaptateur simulé, 24C02",
                                                        "LPT1 (0x378) : adaptateur simulé, support vide",
                                                        "sim1 (0xD000) : adaptateur simulé, support vide"}));
  const PortsSupplementaires autres = sim->extraPorts();
  ASSERT_EQ(autres.size(), 2u);
  EXPECT_EQ(autres[0].nom + autres[1].nom, "sim0sim1");
  EXPECT_EQ(autres[0].base, 0xDC00);
  EXPECT_EQ(autres[1].base, 0xD000);
  EXPECT_EQ(sim->adapter(0xDC00)->chip()->chipType(), 3);
}

TEST(SimulationConfig, MalformedValuesAreRefusedWithTheReason) {
  const struct {
    const char* value;
    const char* message;
  } cases[] = {
      {"", "ZORBIX_SIMULATION : aucun port simulé (exemple : LPT1:24C16)"},
      {" ; ", "ZORBIX_SIMULATION : aucun port simulé (exemple : LPT1:24C16)"},
      {"LPT1", "ZORBIX_SIMULATION : il manque « : » entre le port et la mémoire dans « LPT1 » "
               "(exemple : LPT1:24C16)"},
      {"LPT4:24C16", "ZORBIX_SIMULATION : port inconnu « LPT4 » dans « LPT4:24C16 » "
                     "(ports possibles : LPT1, LPT2, LPT3, une adresse comme 0xDC00, ch341a ou i2c-1)"},
      {"0xDC0G:24C16", "ZORBIX_SIMULATION : port inconnu « 0xDC0G » dans « 0xDC0G:24C16 » "
                       "(ports possibles : LPT1, LPT2, LPT3, une adresse comme 0xDC00, ch341a ou i2c-1)"},
      {"0xFFFF:24C16", "ZORBIX_SIMULATION : port inconnu « 0xFFFF » dans « 0xFFFF:24C16 » "
                       "(ports possibles : LPT1, LPT2, LPT3, une adresse comme 0xDC00, ch341a ou i2c-1)"},
      {"0x10000:24C16", "ZORBIX_SIMULATION : port inconnu « 0x10000 » dans « 0x10000:24C16 » "
                        "(ports possibles : LPT1, LPT2, LPT3, une adresse comme 0xDC00, ch341a ou i2c-1)"},
      {"LPT1:24C16;0x378:empty", "ZORBIX_SIMULATION : le port 0x378 est donné deux fois"},
      {"LPT1:24C16;0x379:empty", "ZORBIX_SIMULATION : le port 0x379 empiète sur les registres d'un autre port"},
      {"LPT1:24C17", "ZORBIX_SIMULATION : mémoire inconnue « 24C17 » dans « LPT1:24C17 » (types "
                     "possibles : PCF8582, 24C00, 24C01, 24C02, 24C04, 24C08, 24C16, 24C32, 24C64, "
                     "24C128, 24C256, 24C512, empty)"},
      {"LPT1:24C16;lpt1:24C02", "ZORBIX_SIMULATION : le port lpt1 est donné deux fois"},
      {"LPT1:24C16=", "ZORBIX_SIMULATION : nom de fichier vide après « = » dans « LPT1:24C16= »"},
      {"LPT2:empty=/tmp/x.bin", "ZORBIX_SIMULATION : un support vide ne peut pas avoir de fichier "
                                "dans « LPT2:empty=/tmp/x.bin »"},
      {"LPT1:24C16=/tmp/a.bin;LPT2:24C16=/tmp/a.bin",
       "ZORBIX_SIMULATION : le fichier /tmp/a.bin est donné à deux mémoires"},
      {"i2c-x:24C02", "ZORBIX_SIMULATION : bus I2C invalide « i2c-x » dans « i2c-x:24C02 »"},
      {"i2c-1/smbus-pcx:24C02", "ZORBIX_SIMULATION : « smbus-pcx » inconnu après « i2c-1/ » (possibles : smbus, "
                                "smbus-pc, pilote@0x50 pour une adresse tenue par un pilote du noyau) dans "
                                "« i2c-1/smbus-pcx:24C02 »"},
      {"i2c-1/at24@0x80:24C02", "ZORBIX_SIMULATION : « at24@0x80 » inconnu après « i2c-1/ » (possibles : smbus, "
                                "smbus-pc, pilote@0x50 pour une adresse tenue par un pilote du noyau) dans "
                                "« i2c-1/at24@0x80:24C02 »"},
      {"i2c-1:24C02;I2C-1/smbus:empty", "ZORBIX_SIMULATION : le bus i2c-1 est donné deux fois"},
      {"ch341a:24C16=/tmp/a.bin;i2c-2:24C16=/tmp/a.bin",
       "ZORBIX_SIMULATION : le fichier /tmp/a.bin est donné à deux mémoires"},
  };
  for (const auto& c : cases) {
    std::string erreur;
    std::vector<AdaptateurMessagesSimule> messages;
    EXPECT_EQ(CreerSimulation(c.value, erreur, &messages), nullptr) << c.value;
    EXPECT_EQ(erreur, c.message);
  }
}

TEST(SimulationConfig, UnreadableFileIsRefused) {
  TempDir dir;
  std::string erreur;
  EXPECT_EQ(CreerSimulation("LPT1:24C02=/tmp", erreur), nullptr);
  EXPECT_NE(erreur.find("impossible de lire le fichier /tmp"), std::string::npos) << erreur;
  // A device that never ends is refused, not read until memory runs out.
  EXPECT_EQ(CreerSimulation("LPT1:24C02=/dev/zero", erreur), nullptr);
  EXPECT_EQ(erreur, "ZORBIX_SIMULATION : impossible de lire le fichier /dev/zero : "
                    "ce n'est pas un fichier ordinaire");
}

// A chip file in a folder that does not exist could never be written back:
// refused at start, not found out at exit with the data lost.
TEST(SimulationConfig, ChipFileWithoutFolderIsRefused) {
  TempDir dir;
  std::string erreur;
  const std::string path = dir.file("absent/chip.bin");
  EXPECT_EQ(CreerSimulation("LPT1:24C02=" + path, erreur), nullptr);
  EXPECT_NE(erreur.find("pas de dossier pour enregistrer le fichier " + path), std::string::npos) << erreur;
  EXPECT_NE(CreerSimulation("LPT1:24C02=" + dir.file("chip.bin"), erreur), nullptr) << erreur;
}

ino_t Inode(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 ? st.st_ino : 0;
}

// Each operation reads the file into the chip and writes it back only if it
// changed the chip: what another program wrote in between is seen, and an
// operation that changed nothing leaves the file alone (not even replaced by
// the same bytes, so a read-only file is no failure).
TEST(SimulationConfig, ChipFileIsReadAndWrittenBackByEachOperation) {
  TempDir dir;
  const std::string path = dir.file("chip.bin");
  std::string erreur, raison;

  auto sim = CreerSimulation("LPT2:24C02=" + path, erreur);
  ASSERT_TRUE(sim) << erreur;
  EXPECT_EQ(sim->describe()[0], "LPT2 (0x278) : adaptateur simulé, 24C02, fichier " + path +
                                    " (fichier absent, mémoire vierge (0xFF))");
  EepromModel* chip = sim->adapter(AdresseLPT2)->chip();
  ASSERT_TRUE(sim->prendre(AdresseLPT2, raison)) << raison;
  EXPECT_EQ(chip->memory(), std::vector<std::uint8_t>(256, 0xFF));
  ASSERT_TRUE(sim->rendre(AdresseLPT2, raison)) << raison;
  EXPECT_FALSE(std::filesystem::exists(path));  // nothing changed, nothing written

  ASSERT_TRUE(sim->prendre(AdresseLPT2, raison)) << raison;
  for (int a = 0; a < 256; ++a) chip->memory()[static_cast<std::size_t>(a)] = static_cast<std::uint8_t>(255 - a);
  ASSERT_TRUE(sim->rendre(AdresseLPT2, raison)) << raison;
  const std::string saved = Slurp(path);
  ASSERT_EQ(saved.size(), 256u);
  EXPECT_EQ(static_cast<std::uint8_t>(saved[0]), 255);
  EXPECT_EQ(static_cast<std::uint8_t>(saved[255]), 0);

  // Another program's write is what the next operation finds.
  Spit(path, std::string(256, 'z'));
  ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
  const ino_t inode = Inode(path);
  ASSERT_TRUE(sim->prendre(AdresseLPT2, raison)) << raison;
  EXPECT_EQ(chip->memory(), std::vector<std::uint8_t>(256, 'z'));
  EXPECT_TRUE(sim->rendre(AdresseLPT2, raison)) << raison;
  EXPECT_EQ(Inode(path), inode);

  // A chip that cannot be written back is the operation's failure, and the
  // file keeps what it held.
  ASSERT_TRUE(sim->prendre(AdresseLPT2, raison)) << raison;
  chip->memory()[0] = 0;
  ASSERT_EQ(::chmod(dir.file("").c_str(), 0555), 0);
  const bool rendu = sim->rendre(AdresseLPT2, raison);
  ASSERT_EQ(::chmod(dir.file("").c_str(), 0755), 0);
  if (::geteuid() != 0) {  // root writes anywhere
    EXPECT_FALSE(rendu);
    EXPECT_EQ(raison.rfind("LPT2 : la mémoire simulée n'a pas été enregistrée (impossible de remplacer " + path, 0),
              0u)
        << raison;
    EXPECT_EQ(Slurp(path), std::string(256, 'z'));
  }

  // A new run starts from the file.
  sim = CreerSimulation("LPT2:24C02=" + path, erreur);
  ASSERT_TRUE(sim) << erreur;
  EXPECT_EQ(sim->describe()[0], "LPT2 (0x278) : adaptateur simulé, 24C02, fichier " + path);
  EXPECT_EQ(sim->adapter(AdresseLPT2)->chip()->memory()[1], 'z');
}

// A second program (here a second backend: flock locks differ per open
// file) waits for the first one's operation, then gives up with the reason.
TEST(SimulationConfig, ChipFileServesOneOperationAtATime) {
  TempDir dir;
  const std::string path = dir.file("chip.bin");
  std::string erreur, raison;
  auto premier = CreerSimulation("LPT1:24C00=" + path, erreur);
  auto second = CreerSimulation("LPT1:24C00=" + path, erreur);
  ASSERT_TRUE(premier && second) << erreur;
  ASSERT_TRUE(premier->prendre(AdresseLPT1, raison)) << raison;
  ASSERT_TRUE(premier->prendre(AdresseLPT1, raison)) << raison;  // nested: counted
  EXPECT_FALSE(second->prendre(AdresseLPT1, raison));
  EXPECT_EQ(raison, "LPT1 : la mémoire simulée " + path + " est utilisée par un autre programme");
  premier->adapter(AdresseLPT1)->chip()->memory()[3] = 'A';
  ASSERT_TRUE(premier->rendre(AdresseLPT1, raison));
  EXPECT_FALSE(std::filesystem::exists(path));  // still held: nothing written yet
  ASSERT_TRUE(premier->rendre(AdresseLPT1, raison));
  ASSERT_TRUE(second->prendre(AdresseLPT1, raison)) << raison;
  EXPECT_EQ(second->adapter(AdresseLPT1)->chip()->memory()[3], 'A');
  EXPECT_TRUE(second->rendre(AdresseLPT1, raison));
}

TEST(SimulationConfig, WrongSizeFileGivesWhatFitsAndKeepsTheRest) {
  TempDir dir;
  const std::string shortFile = dir.file("short.bin");
  const std::string longFile = dir.file("long.bin");
  Spit(shortFile, "ABC");
  Spit(longFile, std::string(16, 'x') + "TAIL");
  std::string erreur, raison;
  auto sim = CreerSimulation("LPT1:24C00=" + shortFile + ";LPT2:24C00=" + longFile, erreur);
  ASSERT_TRUE(sim) << erreur;
  const auto lines = sim->describe();
  EXPECT_NE(lines[0].find("(le fichier fait 3 octets pour une mémoire de 16 : 3 octets chargés)"),
            std::string::npos)
      << lines[0];
  EXPECT_NE(lines[1].find("(le fichier fait 20 octets pour une mémoire de 16 : 16 octets chargés, "
                          "la suite du fichier sera conservée)"),
            std::string::npos)
      << lines[1];
  for (std::uint16_t base : {AdresseLPT1, AdresseLPT2}) ASSERT_TRUE(sim->prendre(base, raison)) << raison;
  auto& shortMemory = sim->adapter(AdresseLPT1)->chip()->memory();
  EXPECT_EQ(std::string(shortMemory.begin(), shortMemory.begin() + 4), "ABC\xFF");
  shortMemory[4] = 'D';
  sim->adapter(AdresseLPT2)->chip()->memory()[0] = 'y';
  for (std::uint16_t base : {AdresseLPT1, AdresseLPT2}) ASSERT_TRUE(sim->rendre(base, raison)) << raison;
  EXPECT_EQ(Slurp(shortFile), "ABC" + std::string(1, '\xFF') + "D" + std::string(11, '\xFF'));
  EXPECT_EQ(Slurp(longFile), "y" + std::string(15, 'x') + "TAIL");
}

TEST(SimulationConfig, FailedWriteBackLeavesWhatWasThereAndNoTemporaryFile) {
  TempDir dir;
  const std::string path = dir.file("chip.bin");
  std::string erreur, raison;
  auto sim = CreerSimulation("LPT1:24C00=" + path, erreur);
  ASSERT_TRUE(sim) << erreur;
  ASSERT_TRUE(sim->prendre(AdresseLPT1, raison)) << raison;
  sim->adapter(AdresseLPT1)->chip()->memory()[0] = 0;
  // Something that cannot be replaced by a file took the name meanwhile.
  ASSERT_EQ(::mkdir(path.c_str(), 0700), 0);
  Spit(path + "/keep", "old");
  EXPECT_FALSE(sim->rendre(AdresseLPT1, raison));
  EXPECT_EQ(raison.find("LPT1 : la mémoire simulée n'a pas été enregistrée (impossible de remplacer " + path + " : "),
            0u)
      << raison;
  EXPECT_EQ(Slurp(path + "/keep"), "old");
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir.file("")))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"chip.bin", "chip.bin.lock"}));
}

TEST(Trace, VcdHoldsTheHeaderAndOnlyTheChanges) {
  TempDir dir;
  const std::string path = dir.file("bus.vcd");
  {
    SimFixture f(6);
    ASSERT_TRUE(f.sim.enableTrace(path));
    const std::uint64_t t0 = f.sim.accessCount();
    f.wire.write({0xA0});
    f.wire.powerDown();
    EXPECT_EQ(f.sim.accessCount() - t0, 36u);
    ASSERT_TRUE(f.sim.closeTrace());
  }
  const std::string vcd = Slurp(path);
  const std::string header =
      "$version zorbix32 simulated adapter $end\n"
      "$timescale 1 us $end\n"
      "$scope module lpt1 $end\n"
      "$var wire 1 ! scl $end\n"
      "$var wire 1 \" sda $end\n"
      "$var wire 1 # wp $end\n"
      "$var wire 1 $ vcc $end\n"
      "$upscope $end\n"
      "$enddefinitions $end\n";
  ASSERT_EQ(vcd.substr(0, header.size()), header);
  // Powered, bus idle (SCL, SDA high, pin 7 grounded) when the trace began;
  // then the START: SDA falls at t+2 while SCL is high, SCL falls at t+3.
  const std::string body = vcd.substr(header.size());
  const unsigned long t = std::stoul(body.substr(1));
  const std::string opening = "#" + std::to_string(t) + "\n1!\n1\"\n0#\n1$\n#" +
                              std::to_string(t + 2) + "\n0\"\n#" + std::to_string(t + 3) + "\n0!\n";
  EXPECT_EQ(body.substr(0, opening.size()), opening);
  // No time appears twice, and each line after the first is a time or a change.
  int times = 0;
  std::size_t at = 0;
  std::string last;
  while (at < body.size()) {
    const std::size_t end = body.find('\n', at);
    const std::string line = body.substr(at, end - at);
    at = end + 1;
    if (line[0] == '#') {
      EXPECT_NE(line, last);
      last = line;
      ++times;
    } else {
      ASSERT_EQ(line.size(), 2u) << line;
      EXPECT_TRUE(line[0] == '0' || line[0] == '1') << line;
    }
  }
  EXPECT_GT(times, 20);
  EXPECT_EQ(last, "#" + std::to_string(t + 36));  // the end time
}

// sigrok's own I2C decoder, when it is installed, reads the same bus from
// the trace as the simulator's transcript (it cannot tell who acknowledged).
TEST(Trace, SigrokDecodesTheTraceAsTheTranscriptDoes) {
  if (std::system("command -v sigrok-cli > /dev/null 2>&1") != 0) GTEST_SKIP() << "no sigrok-cli";
  TempDir dir;
  const std::string path = dir.file("bus.vcd");
  std::string transcript;
  {
    SimFixture f(6);
    f.chip->memory()[0x310] = 0x55;
    ASSERT_TRUE(f.sim.enableTrace(path));
    f.wire.read({0xA6, 0x10}, 0xA1, 2);
    f.wire.write({0xA2, 0x05, 0x77});
    f.wire.write({0xB0});
    ASSERT_TRUE(f.sim.closeTrace());
    transcript = f.adapter.transcript().text();
  }
  EXPECT_EQ(transcript, "S A6+ 10+ Sr A1+ 55* FF- P S A2+ 05+ 77+ P S B0- P");
  for (char& c : transcript)
    if (c == '*') c = '+';

  const std::string command = "sigrok-cli -I vcd -i '" + path +
                              "' -P i2c:scl=scl:sda=sda -A i2c=start:repeat-start:stop:ack:nack:"
                              "address-read:address-write:data-read:data-write 2>&1";
  std::FILE* out = ::popen(command.c_str(), "r");
  ASSERT_NE(out, nullptr);
  std::string decoded;
  char line[256];
  while (std::fgets(line, sizeof line, out)) {
    std::string text = line;
    text = text.substr(text.find(": ") + 2);
    text.pop_back();
    unsigned value = 0;
    if (text == "Start") decoded += " S";
    else if (text == "Start repeat") decoded += " Sr";
    else if (text == "Stop") decoded += " P";
    else if (text == "ACK") decoded += "+";
    else if (text == "NACK") decoded += "-";
    else if (std::sscanf(text.c_str(), "Address write: %x", &value) == 1) decoded += " " + Hex(value << 1);
    else if (std::sscanf(text.c_str(), "Address read: %x", &value) == 1) decoded += " " + Hex(value << 1 | 1);
    else if (std::sscanf(text.c_str(), "Data %*s %x", &value) == 1) decoded += " " + Hex(value);
  }
  ::pclose(out);
  EXPECT_EQ(decoded.substr(1), transcript);
}

TEST(Trace, TraceFileThatCannotBeCreated) {
  SimulatedBackend sim;
  sim.addAdapter(AdresseLPT1);
  EXPECT_FALSE(sim.enableTrace("/nonexistent/dir/bus.vcd"));
  EXPECT_TRUE(sim.closeTrace());
}

}  // namespace
}  // namespace zorbix::simtest
