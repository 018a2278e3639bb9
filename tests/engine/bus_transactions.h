// The simulated bus transcript cut into transactions, for tests that check
// what the transfers put on the wire.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "engine/sim/bus_transcript.h"

namespace zorbix::test {

// The tokens of BusTranscript::text() ("A0+", "Sr", "FF*", ...) from each
// START to its STOP, both left out.
inline std::vector<std::vector<std::string>> Transactions(const BusTranscript& t) {
  std::vector<std::vector<std::string>> out;
  std::istringstream in(t.text());
  for (std::string token; in >> token;) {
    if (token == "S")
      out.emplace_back();
    else if (token != "P" && !out.empty())
      out.back().push_back(token);
  }
  return out;
}

// A write transaction and the acknowledge polls (a lone 0xA0) that followed it.
struct Ecriture {
  std::vector<std::string> octets;  // select, address and data bytes
  int scrutations = 0;
  bool finVue = false;  // the last poll was acknowledged
};

inline std::vector<Ecriture> Ecritures(const BusTranscript& t) {
  std::vector<Ecriture> out;
  for (const auto& tr : Transactions(t)) {
    const bool scrutation = tr.size() == 1 && (tr[0] == "A0+" || tr[0] == "A0-");
    if (!scrutation) {
      out.push_back({tr, 0, false});
    } else if (!out.empty()) {
      ++out.back().scrutations;
      out.back().finVue = tr[0] == "A0+";
    }
  }
  return out;
}

}  // namespace zorbix::test
