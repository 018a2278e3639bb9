#include "vcd_writer.h"

namespace zorbix {
namespace {

constexpr std::size_t kFlushAt = 1 << 16;

// Short identifiers from the printable range '!'..'~', as VCD allows.
std::string Identifier(int index) {
  std::string id;
  do {
    id += static_cast<char>('!' + index % 94);
    index /= 94;
  } while (index > 0);
  return id;
}

}  // namespace

VcdWriter::~VcdWriter() {
  if (file_) close(time_);
}

int VcdWriter::addScope(const std::string& scope, const std::vector<std::string>& wires) {
  const int first = static_cast<int>(wires_.size());
  for (const std::string& name : wires)
    wires_.push_back({scope, name, Identifier(static_cast<int>(wires_.size()))});
  return first;
}

bool VcdWriter::open(const std::string& path) {
  file_ = std::fopen(path.c_str(), "wb");
  if (!file_) return false;
  buffer_.reserve(kFlushAt + 256);
  buffer_ += "$version zorbix32 simulated adapter $end\n";
  buffer_ += "$timescale 1 us $end\n";
  std::string scope;
  for (const Wire& w : wires_) {
    if (w.scope != scope) {
      if (!scope.empty()) buffer_ += "$upscope $end\n";
      scope = w.scope;
      buffer_ += "$scope module " + scope + " $end\n";
    }
    buffer_ += "$var wire 1 " + w.id + " " + w.name + " $end\n";
  }
  if (!scope.empty()) buffer_ += "$upscope $end\n";
  buffer_ += "$enddefinitions $end\n";
  return true;
}

void VcdWriter::change(int wire, bool level, std::uint64_t now) {
  if (!file_) return;
  if (!timeWritten_ || now != time_) {
    buffer_ += '#';
    buffer_ += std::to_string(now);
    buffer_ += '\n';
    time_ = now;
    timeWritten_ = true;
  }
  buffer_ += level ? '1' : '0';
  buffer_ += wires_[static_cast<std::size_t>(wire)].id;
  buffer_ += '\n';
  if (buffer_.size() >= kFlushAt) flush();
}

bool VcdWriter::close(std::uint64_t now) {
  if (!file_) return !failed_;
  if (!timeWritten_ || now > time_) {
    buffer_ += '#';
    buffer_ += std::to_string(now);
    buffer_ += '\n';
  }
  flush();
  if (std::fclose(file_) != 0) failed_ = true;
  file_ = nullptr;
  return !failed_;
}

void VcdWriter::flush() {
  if (!buffer_.empty() && std::fwrite(buffer_.data(), 1, buffer_.size(), file_) != buffer_.size())
    failed_ = true;
  buffer_.clear();
}

}  // namespace zorbix
