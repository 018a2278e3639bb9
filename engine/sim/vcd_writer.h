// Bus activity as a Value Change Dump (IEEE 1364), timescale 1 us, that
// PulseView and sigrok-cli open. Only changes are written, through a buffer
// flushed in large blocks, so tracing a whole chip stays cheap.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace zorbix {

class VcdWriter {
 public:
  VcdWriter() = default;
  ~VcdWriter();
  VcdWriter(const VcdWriter&) = delete;
  VcdWriter& operator=(const VcdWriter&) = delete;

  // Declares one scope of one-bit wires; call before open(). Returns the
  // index of the first wire; the others follow in order.
  int addScope(const std::string& scope, const std::vector<std::string>& wires);

  // Creates the file and writes the header. False if it cannot be created.
  bool open(const std::string& path);

  // Wire `wire` has level `level` from time `now` on. Times must not go
  // backwards. Before the first change of a wire its level is x.
  void change(int wire, bool level, std::uint64_t now);

  // Writes the end time and closes the file. False if a write failed.
  bool close(std::uint64_t now);

 private:
  void flush();

  struct Wire {
    std::string scope;
    std::string name;
    std::string id;
  };
  std::vector<Wire> wires_;
  std::FILE* file_ = nullptr;
  std::string buffer_;
  std::uint64_t time_ = 0;
  bool timeWritten_ = false;
  bool failed_ = false;
};

}  // namespace zorbix
