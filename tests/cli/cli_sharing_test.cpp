// Several zorbix32-cli processes on one virtual chip, and signals: each run
// takes the chip's file for its operation only, another run meanwhile is told
// the chip is busy, nothing is written at exit, and a signal stops a
// programming between two pages with the chip unpowered and what was written
// kept. The bus trace, written to a FIFO, holds a run in the middle of its
// operation for as long as the test does not read it.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>
#include <vector>

#include "tests/cli/cli_runs.h"

namespace zorbix::test {
namespace {

namespace fs = std::filesystem;

constexpr int TaillePuce = 65536;  // a 24C512, 128-byte pages

std::string Lire(const fs::path& chemin) {
  std::ifstream f(chemin, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(f), {});
}

std::string Octets(std::size_t n, unsigned graine) {
  std::string s(n, '\0');
  for (std::size_t i = 0; i < n; ++i) s[i] = static_cast<char>((i * 7 + graine + i / 251) & 0xFF);
  return s;
}

// One zorbix32-cli run in the folder, its output in <nom>.out / <nom>.err.
class Execution {
 public:
  Execution(const fs::path& dossier, const std::string& nom, std::vector<std::string> arguments)
      : dossier_(dossier), nom_(nom) {
    pid_ = ::fork();
    if (pid_ != 0) return;
    if (::chdir(dossier.c_str()) != 0) ::_exit(126);
    ::dup2(::open((nom + ".out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), 1);
    ::dup2(::open((nom + ".err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), 2);
    std::vector<char*> argv{const_cast<char*>(ZORBIX_CLI)};
    for (std::string& a : arguments) argv.push_back(a.data());
    argv.push_back(nullptr);
    ::execv(ZORBIX_CLI, argv.data());
    ::_exit(127);
  }
  int Attendre() {
    int statut = 0;
    ::waitpid(pid_, &statut, 0);
    return WIFEXITED(statut) ? WEXITSTATUS(statut) : -1;
  }
  pid_t Pid() const { return pid_; }
  std::string Erreurs() const { return Lire(dossier_ / (nom_ + ".err")); }
  std::string Sortie() const { return Lire(dossier_ / (nom_ + ".out")); }

 private:
  fs::path dossier_;
  std::string nom_;
  pid_t pid_;
};

// The reading end of the trace FIFO: what the run wrote to it so far.
class Fifo {
 public:
  explicit Fifo(const fs::path& chemin) {
    ::mkfifo(chemin.c_str(), 0600);
    fd_ = ::open(chemin.c_str(), O_RDONLY | O_NONBLOCK);
  }
  ~Fifo() { ::close(fd_); }
  // Reads until `octets` have come (0: until the writer closes it) or the run ended.
  void Lire(std::size_t octets, Execution& run) {
    char bloc[65536];
    for (;;) {
      const ssize_t n = ::read(fd_, bloc, sizeof bloc);
      if (n > 0) {
        texte.append(bloc, static_cast<std::size_t>(n));
        if (octets && texte.size() >= octets) return;
      } else if (n == 0 && !texte.empty()) {
        return;  // the writer closed it
      } else {
        siginfo_t fin{};
        if (n == 0 && ::waitid(P_PID, static_cast<id_t>(run.Pid()), &fin, WEXITED | WNOHANG | WNOWAIT) == 0 &&
            fin.si_pid != 0)
          return;
        ::usleep(1000);
      }
    }
  }
  std::string texte;

 private:
  int fd_;
};

class CliPartage : public ::testing::Test, public DossierCli {
 protected:
  CliPartage() : DossierCli("zorbix-partage") { Puce("24C512"); }
  Execution Lancer(const std::string& nom, std::vector<std::string> arguments) {
    return Execution(dossier_, nom, std::move(arguments));
  }
  const fs::path dossier_{Racine()};
};

// A run held in the middle of its programming keeps the chip: a second run
// is told within the bound and changes nothing (it used to succeed, and the
// first run's write at exit then undid it). Once the first is done, the
// second finds its image and replaces it.
TEST_F(CliPartage, TwoRunsAtOnceOnOneChipFile) {
  const std::string avant = Octets(TaillePuce, 1), a = Octets(TaillePuce, 2), b = Octets(TaillePuce, 3);
  Ecrire("puce.bin", avant);
  Ecrire("a.bin", a);
  Ecrire("b.bin", b);
  setenv("ZORBIX_SIM_TRACE", (dossier_ / "trace").c_str(), 1);
  Fifo trace(dossier_ / "trace");
  Execution premier = Lancer("premier", {"programmer", "--puce", "24C512", "a.bin"});
  trace.Lire(1 << 20, premier);  // programming now, and blocked on the trace
  unsetenv("ZORBIX_SIM_TRACE");

  Execution second = Lancer("second", {"programmer", "--puce", "24C512", "b.bin"});
  EXPECT_EQ(second.Attendre(), 4) << second.Erreurs();
  EXPECT_NE(second.Erreurs().find("LPT1 : la mémoire simulée " + (dossier_ / "puce.bin").string() +
                                  " est utilisée par un autre programme"),
            std::string::npos)
      << second.Erreurs();
  EXPECT_EQ(Lire("puce.bin"), avant);

  trace.Lire(0, premier);
  EXPECT_EQ(premier.Attendre(), 0) << premier.Erreurs();
  EXPECT_EQ(Lire("puce.bin"), a);
  Execution lecture = Lancer("lecture", {"comparer", "--puce", "24C512", "a.bin"});
  Execution troisieme = Lancer("troisieme", {"programmer", "--puce", "24C512", "b.bin"});
  // Both at once: the compare sees a whole image, never half of each.
  const int comparaison = lecture.Attendre();
  EXPECT_EQ(troisieme.Attendre(), 0) << troisieme.Erreurs();
  EXPECT_TRUE(comparaison == 0 || comparaison == 3) << lecture.Erreurs();
  if (comparaison == 3) {
    EXPECT_NE(lecture.Sortie().find("65536 octet"), std::string::npos) << lecture.Sortie();
  }
  EXPECT_EQ(Lire("puce.bin"), b);
}

// A read or a compare changes nothing, so a chip file the user may only read
// is no failure, and the file is not replaced.
TEST_F(CliPartage, ReadOnlyChipFileReadsAndCompares) {
  const std::string contenu = Octets(TaillePuce, 4);
  const fs::path puce = dossier_ / "puce.bin";
  Ecrire("puce.bin", contenu);
  Ecrire("autre.bin", Octets(TaillePuce, 5));
  ASSERT_EQ(::chmod(puce.c_str(), 0444), 0);
  struct stat avant {};
  ASSERT_EQ(::stat(puce.c_str(), &avant), 0);

  Execution lire = Lancer("lire", {"lire", "--puce", "24C512", "copie.bin"});
  EXPECT_EQ(lire.Attendre(), 0) << lire.Erreurs();
  EXPECT_EQ(Lire("copie.bin"), contenu);
  Execution comparer = Lancer("comparer", {"comparer", "--puce", "24C512", "copie.bin"});
  EXPECT_EQ(comparer.Attendre(), 0) << comparer.Erreurs();
  Execution differences = Lancer("differences", {"comparer", "--puce", "24C512", "autre.bin"});
  EXPECT_EQ(differences.Attendre(), 3) << differences.Erreurs();

  struct stat apres {};
  ASSERT_EQ(::stat(puce.c_str(), &apres), 0);
  EXPECT_EQ(apres.st_ino, avant.st_ino);
  EXPECT_EQ(apres.st_mtime, avant.st_mtime);
  EXPECT_EQ(Lire("puce.bin"), contenu);
}

// SIGTERM in the middle of a programming run: it stops at the next page,
// the pages before it are in the chip file, the rest as it was, the trace
// ends with the supply off, and the message says how far it got.
TEST_F(CliPartage, SignalStopsAtAPageBoundary) {
  const std::string avant = Octets(TaillePuce, 6), image = Octets(TaillePuce, 7);
  Ecrire("puce.bin", avant);
  Ecrire("image.bin", image);
  setenv("ZORBIX_SIM_TRACE", (dossier_ / "trace").c_str(), 1);
  Fifo trace(dossier_ / "trace");
  Execution run = Lancer("run", {"programmer", "--puce", "24C512", "--silencieux", "image.bin"});
  trace.Lire(4 << 20, run);
  ::kill(run.Pid(), SIGTERM);
  trace.Lire(0, run);
  ASSERT_EQ(run.Attendre(), 5) << run.Erreurs();

  std::smatch m;
  const std::string erreurs = run.Erreurs();
  ASSERT_TRUE(std::regex_search(erreurs, m, std::regex("Interrompu par un signal : les ([0-9]+) premiers octets sur "
                                                       "65536 sont programmés, le reste non\\. La mémoire est hors "
                                                       "tension\\.")))
      << erreurs;
  const int fait = std::stoi(m[1]);
  EXPECT_GT(fait, 0);
  EXPECT_LT(fait, TaillePuce);
  EXPECT_EQ(fait % 128, 0);
  const std::string puce = Lire("puce.bin");
  EXPECT_EQ(puce.substr(0, static_cast<std::size_t>(fait)), image.substr(0, static_cast<std::size_t>(fait)));
  EXPECT_EQ(puce.substr(static_cast<std::size_t>(fait)), avant.substr(static_cast<std::size_t>(fait)));

  // The last value of the supply wire ("$var wire 1 <id> vcc $end").
  ASSERT_TRUE(std::regex_search(trace.texte, m, std::regex("\\$var wire 1 (\\S+) vcc \\$end")));
  const std::string id = m[1];
  const std::size_t derniere = std::max(trace.texte.rfind("\n0" + id + "\n"), trace.texte.rfind("\n1" + id + "\n"));
  ASSERT_NE(derniere, std::string::npos);
  EXPECT_EQ(trace.texte[derniere + 1], '0');
}

// The same during a range read, one bus transaction: the read ends, then the
// run stops without writing the file.
TEST_F(CliPartage, SignalDuringARangeReadWritesNoFile) {
  Ecrire("puce.bin", Octets(TaillePuce, 6));
  setenv("ZORBIX_SIM_TRACE", (dossier_ / "trace").c_str(), 1);
  Fifo trace(dossier_ / "trace");
  Execution run = Lancer("run", {"lire", "--puce", "24C512", "--debut", "0x100", "--longueur", "65000", "lu.bin"});
  trace.Lire(4 << 20, run);
  ::kill(run.Pid(), SIGTERM);
  trace.Lire(0, run);
  ASSERT_EQ(run.Attendre(), 5) << run.Erreurs();
  EXPECT_NE(run.Erreurs().find("Interrompu par un signal : la plage $0100 à $FEE7 a été lue en entier, mais le "
                               "fichier n'a pas été écrit. La mémoire est hors tension."),
            std::string::npos)
      << run.Erreurs();
  EXPECT_FALSE(fs::exists(dossier_ / "lu.bin"));
}

}  // namespace
}  // namespace zorbix::test
