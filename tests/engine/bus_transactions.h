// The simulated bus transcript cut into transactions, for tests that check
// what the transfers put on the wire.
#pragma once

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "engine/chips.h"
#include "engine/sim/bus_transcript.h"

namespace zorbix::test {

using Jetons = std::vector<std::string>;

// One byte's token as the transcript writes it: "A0+", "FF*".
inline std::string Jeton(int octet, char acquittement) {
  char t[8];
  std::snprintf(t, sizeof t, "%02X%c", octet & 0xFF, acquittement);
  return t;
}

// Device-select and address bytes of a write at `a`, as the data sheets lay them out.
inline Jetons EnTete(int type, int a) {
  if (OctetsAdresse(type) == 2) return {"A0+", Jeton(a >> 8, '+'), Jeton(a, '+')};
  return {Jeton(0xA0 | ((a >> 7) & 0x0E), '+'), Jeton(a, '+')};
}

// premier, premier + pas, ... below fin: the progress positions expected.
inline std::vector<int> Suite(int premier, int pas, int fin) {
  std::vector<int> p;
  for (int a = premier; a < fin; a += pas) p.push_back(a);
  return p;
}

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
