// The progress of a transfer on a terminal: one line on standard error,
// rewritten in place at each position the window's progress bar takes.
#pragma once

#include <chrono>
#include <cstdio>
#include <string>

namespace zorbix {

class LigneProgression {
 public:
  // Writes nothing at all when `active` is false (standard error is not a
  // terminal, or --silencieux).
  LigneProgression(std::FILE* sortie, bool active, std::string operation, int total);
  ~LigneProgression();  // ends the line if one was written
  LigneProgression(const LigneProgression&) = delete;
  LigneProgression& operator=(const LigneProgression&) = delete;

  // "Lecture : 45 %  921 / 2048 octets  écoulé 0:01  restant 0:02"
  void Position(int position);

 private:
  std::FILE* sortie_;
  bool active_;
  bool ecrite_ = false;
  std::string operation_;
  int total_;
  std::chrono::steady_clock::time_point debut_ = std::chrono::steady_clock::now();
};

}  // namespace zorbix
