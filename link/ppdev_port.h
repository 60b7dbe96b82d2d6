// The parallel port through the kernel's ppdev driver: /dev/parportN for the port whose I/O
// base is 0x378 or 0x278. The kernel keeps the port for us while we hold the claim, so no
// printer driver writes between two of our accesses.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "link/port.h"
#include "link/port_calls.h"

namespace zelkor {

// The I/O base in the text of a base-addr file: its first number, decimal ("888\t0\n" is
// 0x378); none when the text does not start with one.
std::optional<unsigned long> ParseBaseAddress(std::string_view text);

// The number N of the kernel's parportN whose I/O base is base, as published in
// <procRoot>/sys/dev/parport/parportN/base-addr; none when no port has that base.
std::optional<int> FindParportNumber(const std::filesystem::path& procRoot, std::uint16_t base);

// The device node of parportN in devDir.
std::filesystem::path ParportDevice(const std::filesystem::path& devDir, int number);

enum class PpdevClaim {
  kClaimed,
  kUnavailable,  // no such device, not ours to open, or not a ppdev device
  kBusy,         // the kernel has the port registered to another driver
};

// An open ppdev descriptor; released if claimed, then closed, when it goes.
class PpdevDevice {
 public:
  PpdevDevice(PortCalls& calls, const std::string& path);
  ~PpdevDevice();
  PpdevDevice(const PpdevDevice&) = delete;
  PpdevDevice& operator=(const PpdevDevice&) = delete;

  bool IsOpen() const { return fd_ >= 0; }
  // Claims the port for this descriptor alone. Any other driver registered on the port makes
  // the claim fail at once; a shared claim would sleep until that driver lets go.
  PpdevClaim ClaimExclusively();
  bool SetDataForward();
  void WriteData(std::uint8_t value);
  void WriteControl(std::uint8_t value);
  // The floating bus when the read fails.
  std::uint8_t ReadStatus();

 private:
  PortCalls& calls_;
  int fd_;
  bool claimed_ = false;
};

class PpdevPort final : public Port {
  struct OpenKey {
    explicit OpenKey() = default;
  };

 public:
  struct Opening {
    PpdevClaim claim;
    std::unique_ptr<PpdevPort> port;  // set when claimed
  };

  // Opens and claims the device and drives the data lines as outputs.
  static Opening Open(PortCalls& calls, const std::string& devicePath, std::uint16_t base);
  // Whether Open would get the device: claims it and lets go again, with no register access of
  // its own (the kernel itself puts the port's idle control value back on a claim).
  static PpdevClaim Probe(PortCalls& calls, const std::string& devicePath);

  PpdevPort(OpenKey, PortCalls& calls, const std::string& devicePath, std::uint16_t base);

  // The data register at base and the control register at base + 2 take writes, the status
  // register at base + 1 is read; every other port number floats.
  void Out(std::uint16_t port, std::uint8_t value) override;
  std::uint8_t In(std::uint16_t port) override;

 private:
  std::uint16_t base_;
  PpdevDevice device_;
};

}  // namespace zelkor
