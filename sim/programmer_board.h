// The programmer board on the parallel port: the wiring between the port's registers, the
// address counter, the data latch, the read-back selector, the two voltage switches and the
// chip socket. It answers at one base address; every other port address floats.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include "link/port.h"
#include "sim/address_counter.h"
#include "sim/eprom.h"
#include "sim/readback_selector.h"
#include "sim/shift_latch.h"

namespace zelkor::sim {

// What the decoded supply and programming voltage switches put out; Short is the code with
// both select bits set, which the board must never receive.
enum class Supply { Off, Volts5, Volts6, Short };
enum class Programming { Off, Volts5, Volts12_75, Short };

struct BoardFaults {
  bool absent = false;  // nothing answers at the base address
  CounterFault counter = CounterFault::None;
  int latchPin = 0;  // latch output pin Q0..Q7
  StuckLevel latchStuck = StuckLevel::None;
  int readbackPin = 0;  // selector output Y0..Y3 (Y0 reaches S7)
  StuckLevel readbackStuck = StuckLevel::None;
};

class ProgrammerBoard final : public Port {
 public:
  explicit ProgrammerBoard(std::uint16_t base = 0x378, std::uint32_t counterPowerOn = 0,
                           BoardFaults faults = {});

  void Out(std::uint16_t port, std::uint8_t value) override;
  std::uint8_t In(std::uint16_t port) override;

  void InsertChip(std::unique_ptr<Eprom> chip);
  std::unique_ptr<Eprom> RemoveChip();
  Eprom* Chip() { return chip_.get(); }

  // Observable state for tests and the trace.
  std::uint16_t Base() const { return base_; }
  std::uint8_t DataRegister() const { return data_; }
  std::uint8_t ControlRegister() const { return control_; }
  Supply SupplyVoltage() const;
  Programming ProgrammingVoltage() const;
  bool ShortSeen() const { return shortSeen_; }
  bool ChipTypeLine512() const { return control_ & 0x01; }
  const AddressCounter& Counter() const { return counter_; }
  const ShiftLatch& Latch() const { return latch_; }
  // The latch as it appears on the data bus, and the bus itself.
  std::uint8_t LatchOnBus() const;
  std::uint8_t DataBus() const;
  SocketLines Socket() const;

 private:
  void Update();
  std::uint8_t Status() const;

  std::uint16_t base_;
  BoardFaults faults_;
  std::uint8_t data_ = 0;
  std::uint8_t control_ = 0;
  bool shortSeen_ = false;
  AddressCounter counter_;
  ShiftLatch latch_;
  ReadbackSelector selector_;
  std::unique_ptr<Eprom> chip_;
};

}  // namespace zelkor::sim
