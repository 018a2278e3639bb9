// The checks of a program that runs inside the emulated PC: one line per
// check ("ok - ..." or "FAILED - ... (why)"), and "N passed, N failed" last,
// which the script that boots the guest looks for.
#pragma once

#include <iostream>
#include <string>

namespace zorbix {

class BilanInvite {
 public:
  void verifier(bool reussi, const std::string& quoi, const std::string& detail = "") {
    (reussi ? reussis_ : echecs_)++;
    std::cout << (reussi ? "ok - " : "FAILED - ") << quoi;
    if (!reussi && !detail.empty()) std::cout << " (" << detail << ")";
    std::cout << std::endl;
  }
  int echecs() const { return echecs_; }
  void resumer() const { std::cout << reussis_ << " passed, " << echecs_ << " failed" << std::endl; }

 private:
  int reussis_ = 0;
  int echecs_ = 0;
};

}  // namespace zorbix
