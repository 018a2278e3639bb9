// The simulated bus transcript cut into transactions, for tests that check
// what the transfers put on the wire.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "engine/sim/bus_transcript.h"

namespace zorbix::test {

// The tokens of BusTranscript::text() from each START to its STOP, both left
// out ("A0+", "10+", "Sr", "A1+", "FF*", ... ).
inline std::vector<std::vector<std::string>> Transactions(const BusTranscript& t) {
  std::vector<std::vector<std::string>> out;
  std::istringstream in(t.text());
  std::string token;
  while (in >> token) {
    if (token == "S")
      out.emplace_back();
    else if (token != "P" && !out.empty())
      out.back().push_back(token);
  }
  return out;
}

inline bool EstScrutation(const std::vector<std::string>& t) {
  return t.size() == 1 && (t[0] == "A0+" || t[0] == "A0-");
}

// A write transaction and the acknowledge polling that followed it.
struct Ecriture {
  std::vector<std::string> octets;  // select, address and data bytes
  int scrutations = 0;
  bool finVue = false;  // the last poll was acknowledged
};

// The write transactions of a transcript, in order, with their polls.
inline std::vector<Ecriture> Ecritures(const BusTranscript& t) {
  std::vector<Ecriture> out;
  for (const auto& tr : Transactions(t)) {
    if (EstScrutation(tr)) {
      if (out.empty()) continue;
      ++out.back().scrutations;
      out.back().finVue = tr[0] == "A0+";
    } else {
      out.push_back({tr, 0, false});
    }
  }
  return out;
}

}  // namespace zorbix::test
