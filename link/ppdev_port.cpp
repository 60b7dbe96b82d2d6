#include "link/ppdev_port.h"

#include <fcntl.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>

#include <cctype>
#include <charconv>
#include <fstream>
#include <iterator>
#include <system_error>

#include "link/port_registers.h"

namespace zelkor {

namespace {

constexpr std::string_view kParportPrefix = "parport";
constexpr std::size_t kBaseAddrLimit = 64;

// The ppdev requests, named once.
constexpr unsigned long kExclusive = PPEXCL;
constexpr unsigned long kClaim = PPCLAIM;
constexpr unsigned long kRelease = PPRELEASE;
constexpr unsigned long kDataDirection = PPDATADIR;
constexpr unsigned long kWriteData = PPWDATA;
constexpr unsigned long kWriteControl = PPWCONTROL;
constexpr unsigned long kReadStatus = PPRSTATUS;
constexpr int kDataForward = 0;

// O_NONBLOCK is not given: ppdev looks at it only for read and write, never for the claim.
constexpr int kOpenFlags = O_RDWR | O_CLOEXEC;

std::optional<int> ParportNumber(std::string_view name) {
  if (!name.starts_with(kParportPrefix)) return std::nullopt;
  const std::string_view digits = name.substr(kParportPrefix.size());
  if (digits.empty() || !std::isdigit(static_cast<unsigned char>(digits.front()))) {
    return std::nullopt;
  }
  int number = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
  if (error != std::errc{} || end != digits.data() + digits.size()) return std::nullopt;
  return number;
}

std::optional<unsigned long> ReadBaseAddress(const std::filesystem::path& file) {
  std::ifstream in(file);
  if (!in) return std::nullopt;
  std::string text(kBaseAddrLimit, '\0');
  in.read(text.data(), static_cast<std::streamsize>(text.size()));
  text.resize(static_cast<std::size_t>(in.gcount()));
  return ParseBaseAddress(text);
}

}  // namespace

std::optional<unsigned long> ParseBaseAddress(std::string_view text) {
  if (text.empty() || !std::isdigit(static_cast<unsigned char>(text.front()))) {
    return std::nullopt;
  }
  unsigned long base = 0;
  const char* const last = text.data() + text.size();
  const auto [end, error] = std::from_chars(text.data(), last, base);
  if (error != std::errc{}) return std::nullopt;
  // "0x378" or "888abc" is not the kernel's decimal number.
  if (end != last && !std::isspace(static_cast<unsigned char>(*end))) return std::nullopt;
  return base;
}

std::optional<int> FindParportNumber(const std::filesystem::path& procRoot, std::uint16_t base) {
  std::error_code error;
  std::filesystem::directory_iterator entries(procRoot / "sys/dev/parport", error);
  if (error) return std::nullopt;
  std::optional<int> found;
  for (const std::filesystem::directory_entry& entry : entries) {
    const std::optional<int> number = ParportNumber(entry.path().filename().string());
    if (!number || (found && *found < *number)) continue;
    const std::optional<unsigned long> address = ReadBaseAddress(entry.path() / "base-addr");
    if (address && *address == base) found = number;
  }
  return found;
}

std::filesystem::path ParportDevice(const std::filesystem::path& devDir, int number) {
  return devDir / (std::string(kParportPrefix) + std::to_string(number));
}

PpdevDevice::PpdevDevice(PortCalls& calls, const std::string& path)
    : calls_(calls), fd_(calls.Open(path, kOpenFlags)) {}

PpdevDevice::~PpdevDevice() {
  if (fd_ < 0) return;
  if (claimed_) calls_.Ioctl(fd_, kRelease, nullptr);
  calls_.Close(fd_);
}

PpdevClaim PpdevDevice::ClaimExclusively() {
  if (fd_ < 0) return PpdevClaim::kUnavailable;
  // A descriptor that refuses PPEXCL is not a fresh ppdev device.
  if (calls_.Ioctl(fd_, kExclusive, nullptr) != 0) return PpdevClaim::kUnavailable;
  if (calls_.Ioctl(fd_, kClaim, nullptr) != 0) return PpdevClaim::kBusy;
  claimed_ = true;
  return PpdevClaim::kClaimed;
}

bool PpdevDevice::SetDataForward() {
  int direction = kDataForward;
  return calls_.Ioctl(fd_, kDataDirection, &direction) == 0;
}

void PpdevDevice::WriteData(std::uint8_t value) {
  unsigned char byte = value;
  calls_.Ioctl(fd_, kWriteData, &byte);
}

void PpdevDevice::WriteControl(std::uint8_t value) {
  unsigned char byte = value;
  calls_.Ioctl(fd_, kWriteControl, &byte);
}

std::uint8_t PpdevDevice::ReadStatus() {
  unsigned char byte = kFloatingBus;
  if (calls_.Ioctl(fd_, kReadStatus, &byte) != 0) return kFloatingBus;
  return byte;
}

PpdevPort::Opening PpdevPort::Open(PortCalls& calls, const std::string& devicePath,
                                   std::uint16_t base) {
  auto port = std::make_unique<PpdevPort>(OpenKey{}, calls, devicePath, base);
  const PpdevClaim claim = port->device_.ClaimExclusively();
  if (claim != PpdevClaim::kClaimed) return {claim, nullptr};
  // In the port's bidirectional mode a reversed direction would leave the data lines floating.
  if (!port->device_.SetDataForward()) return {PpdevClaim::kUnavailable, nullptr};
  return {PpdevClaim::kClaimed, std::move(port)};
}

PpdevClaim PpdevPort::Probe(PortCalls& calls, const std::string& devicePath) {
  PpdevDevice device(calls, devicePath);
  return device.ClaimExclusively();
}

PpdevPort::PpdevPort(OpenKey, PortCalls& calls, const std::string& devicePath, std::uint16_t base)
    : base_(base), device_(calls, devicePath) {}

void PpdevPort::Out(std::uint16_t port, std::uint8_t value) {
  if (port == base_) {
    device_.WriteData(value);
  } else if (port == base_ + kControlOffset) {
    device_.WriteControl(value);
  }
}

std::uint8_t PpdevPort::In(std::uint16_t port) {
  if (port == base_ + kStatusOffset) return device_.ReadStatus();
  return kFloatingBus;
}

}  // namespace zelkor
