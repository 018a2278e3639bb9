// A test's way to make writes fail half-way, as a full disk does.
#pragma once

#include <sys/resource.h>

#include <csignal>

#include <gtest/gtest.h>

namespace zorbix::test {

// Makes the system refuse to let any file of this process grow beyond
// `octets`, the way a full disk refuses a write half-way through.
class LimiteTailleFichier {
 public:
  explicit LimiteTailleFichier(rlim_t octets) {
    ancienSignal_ = std::signal(SIGXFSZ, SIG_IGN);  // get EFBIG, not a kill
    getrlimit(RLIMIT_FSIZE, &ancienne_);
    rlimit limite = ancienne_;
    limite.rlim_cur = octets;
    EXPECT_EQ(setrlimit(RLIMIT_FSIZE, &limite), 0);
  }
  ~LimiteTailleFichier() {
    setrlimit(RLIMIT_FSIZE, &ancienne_);
    std::signal(SIGXFSZ, ancienSignal_);
  }

 private:
  rlimit ancienne_{};
  void (*ancienSignal_)(int);
};

}  // namespace zorbix::test
