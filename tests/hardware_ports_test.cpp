#include "link/hardware_ports.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "fake_port_calls.h"
#include "link/direct_io_port.h"

namespace zelkor::testing {
namespace {

using Calls = std::vector<std::string>;

TEST(DirectIoPort, IsThereOnlyWhenTheKernelGrantsTheThreeRegisters) {
  FakePortCalls calls;
  calls.iopermError = ENOSYS;  // a kernel without ioperm, or a processor without IN and OUT
  EXPECT_EQ(DirectIoPort::Open(calls, 0x378), nullptr);
  EXPECT_FALSE(DirectIoPort::Probe(calls, 0x378));
  EXPECT_EQ(calls.calls, (Calls{"ioperm 378 3 on", "ioperm 378 3 on"}));

  calls.calls.clear();
  calls.grantable.insert(0x378);
  EXPECT_TRUE(DirectIoPort::Probe(calls, 0x378));
  EXPECT_EQ(calls.calls, (Calls{"ioperm 378 3 on", "ioperm 378 3 off"}));
  EXPECT_TRUE(calls.Granted().empty()) << "the probe gives the grant back";
}

TEST(DirectIoPort, DrivesItsThreeRegistersOnlyAndGivesTheGrantBack) {
  FakePortCalls calls;
  calls.grantable.insert(0x278);
  calls.status = 0x87;
  std::unique_ptr<DirectIoPort> port = DirectIoPort::Open(calls, 0x278);
  ASSERT_NE(port, nullptr);
  calls.calls.clear();
  struct Case {
    std::uint16_t port;
    std::uint8_t read;
    Calls calls;
  };
  for (const Case& c :
       {Case{0x278, 0x87, {"out 278 A5", "in 278"}}, Case{0x279, 0x87, {"out 279 A5", "in 279"}},
        Case{0x27A, 0x87, {"out 27A A5", "in 27A"}}, Case{0x27B, kFloatingBus, {}},
        Case{0x277, kFloatingBus, {}}, Case{0x378, kFloatingBus, {}},
        Case{0x379, kFloatingBus, {}}}) {
    port->Out(c.port, 0xA5);
    EXPECT_EQ(port->In(c.port), c.read) << Hex(c.port);
    EXPECT_EQ(calls.calls, c.calls) << Hex(c.port);
    calls.calls.clear();
  }
  port.reset();
  EXPECT_EQ(calls.calls, (Calls{"ioperm 278 3 off"}));
  EXPECT_TRUE(calls.Granted().empty());
}

// A machine as the test describes it: kernel ports by base address, which of their device
// nodes exist and which are held by another driver, and which bases ioperm grants.
struct Machine {
  const char* what;
  std::vector<std::pair<std::string, std::string>> procPorts;  // parportN, base-addr text
  std::vector<std::string> deviceNodes;                        // parportN in /dev
  std::vector<std::string> busy;                               // parportN another driver holds
  std::vector<unsigned long> grantable;
  PortBackend at378;
  PortBackend at278;
};

const std::vector<Machine>& Machines() {
  static const std::vector<Machine> machines{
      {"ppdev at 0x378 behind a port at 0x3BC, nothing at 0x278",
       {{"parport0", "956\t0\n"}, {"parport1", "888\t1912\n"}},
       {"parport0", "parport1"},
       {},
       {},
       PortBackend::kPpdev,
       PortBackend::kNone},
      {"ppdev on both standard bases",
       {{"parport0", "888\t0\n"}, {"parport1", "632\t0\n"}},
       {"parport0", "parport1"},
       {},
       {0x378, 0x278},
       PortBackend::kPpdev,
       PortBackend::kPpdev},
      {"no parport driver, ioperm granted: the port instructions",
       {},
       {},
       {},
       {0x378, 0x278},
       PortBackend::kDirectIo,
       PortBackend::kDirectIo},
      {"kernel port without its ppdev node falls back to the port instructions",
       {{"parport0", "888\t0\n"}},
       {},
       {},
       {0x378},
       PortBackend::kDirectIo,
       PortBackend::kNone},
      {"a port lp holds is not driven behind its back, even with ioperm",
       {{"parport0", "888\t0\n"}},
       {"parport0"},
       {"parport0"},
       {0x378, 0x278},
       PortBackend::kNone,
       PortBackend::kDirectIo},
      {"the only port is held by lp: the gate refuses although ioperm would be granted",
       {{"parport0", "888\t0\n"}},
       {"parport0"},
       {"parport0"},
       {0x378},
       PortBackend::kNone,
       PortBackend::kNone},
      {"busy at 0x378, ppdev at 0x278",
       {{"parport0", "888\t0\n"}, {"parport1", "632\t0\n"}},
       {"parport0", "parport1"},
       {"parport0"},
       {},
       PortBackend::kNone,
       PortBackend::kPpdev},
      {"nothing: no driver, no ioperm", {}, {}, {}, {}, PortBackend::kNone, PortBackend::kNone},
      {"malformed base-addr, no ioperm",
       {{"parport0", "0x378\n"}},
       {"parport0"},
       {},
       {},
       PortBackend::kNone,
       PortBackend::kNone},
  };
  return machines;
}

class HardwarePortsTest : public ::testing::Test {
 protected:
  HardwarePaths Build(const Machine& machine) {
    calls_ = FakePortCalls{};
    tree_ = std::make_unique<FakeSystemTree>();
    if (!machine.procPorts.empty()) tree_->AddEmptyParportDirectory();
    for (const auto& [name, baseAddr] : machine.procPorts) tree_->AddPort(name, baseAddr);
    for (const std::string& node : machine.deviceNodes) {
      calls_.devices.insert((tree_->Dev() / node).string());
    }
    for (const std::string& node : machine.busy) {
      calls_.claimErrors[(tree_->Dev() / node).string()] = ENXIO;
    }
    calls_.grantable.insert(machine.grantable.begin(), machine.grantable.end());
    return HardwarePaths{tree_->Proc(), tree_->Dev(), &calls_};
  }

  bool Called(const std::string& prefix) const {
    return std::any_of(calls_.calls.begin(), calls_.calls.end(),
                       [&](const std::string& call) { return call.starts_with(prefix); });
  }

  FakePortCalls calls_;
  std::unique_ptr<FakeSystemTree> tree_;
};

TEST_F(HardwarePortsTest, EachBaseGetsPpdevElseThePortInstructionsElseNothing) {
  for (const Machine& machine : Machines()) {
    const HardwarePaths paths = Build(machine);
    std::unique_ptr<HardwarePortSpace> space = OpenHardwarePortSpace(paths);
    EXPECT_EQ(space->BackendAt(0x378), machine.at378) << machine.what;
    EXPECT_EQ(space->BackendAt(0x278), machine.at278) << machine.what;
    EXPECT_EQ(space->BackendAt(0x3BC), PortBackend::kNone) << machine.what;
    space.reset();
    EXPECT_TRUE(calls_.OpenDescriptors().empty()) << machine.what;
    EXPECT_TRUE(calls_.Granted().empty()) << machine.what;
  }
}

TEST_F(HardwarePortsTest, TheGateAgreesWithWhatOpeningFindsAndWritesNoRegister) {
  for (const Machine& machine : Machines()) {
    const HardwarePaths paths = Build(machine);
    const bool canDrive = CanDrivePorts(paths);
    const bool expected =
        machine.at378 != PortBackend::kNone || machine.at278 != PortBackend::kNone;
    EXPECT_EQ(canDrive, expected) << machine.what;
    for (const char* write : {"PPWDATA", "PPWCONTROL", "PPDATADIR", "PPFCONTROL", "out "}) {
      EXPECT_FALSE(Called(write)) << machine.what << ": " << write;
    }
    EXPECT_TRUE(calls_.OpenDescriptors().empty()) << machine.what;
    EXPECT_TRUE(calls_.Granted().empty()) << machine.what;
  }
}

TEST_F(HardwarePortsTest, ABusyPortIsNotRetriedThroughThePortInstructions) {
  const HardwarePaths paths = Build(Machines()[4]);
  std::unique_ptr<HardwarePortSpace> space = OpenHardwarePortSpace(paths);
  EXPECT_FALSE(Called("ioperm 378")) << "the kernel's driver keeps its port";
  EXPECT_TRUE(Called("ioperm 278 3 on"));
}

TEST_F(HardwarePortsTest, TheSpaceRoutesEachRegisterToItsPortAndFloatsElsewhere) {
  // ppdev at 0x378 on parport0, the port instructions at 0x278.
  const HardwarePaths paths = Build({"mixed",
                                     {{"parport0", "888\t0\n"}},
                                     {"parport0"},
                                     {},
                                     {0x278},
                                     PortBackend::kPpdev,
                                     PortBackend::kDirectIo});
  std::unique_ptr<Port> space = OpenHardwarePorts(paths);
  const std::string device = (tree_->Dev() / "parport0").string();
  calls_.status = 0x78;
  calls_.calls.clear();
  struct Case {
    std::uint16_t port;
    std::uint8_t read;
    Calls calls;
  };
  for (const Case& c :
       {Case{0x378, kFloatingBus, {"PPWDATA " + device + " 3C"}},
        Case{0x379, 0x78, {"PPRSTATUS " + device}},
        Case{0x37A, kFloatingBus, {"PPWCONTROL " + device + " 3C"}},
        Case{0x278, 0x78, {"out 278 3C", "in 278"}}, Case{0x279, 0x78, {"out 279 3C", "in 279"}},
        Case{0x27A, 0x78, {"out 27A 3C", "in 27A"}}, Case{0x37B, kFloatingBus, {}},
        Case{0x27B, kFloatingBus, {}}, Case{0x3BC, kFloatingBus, {}},
        Case{0x0000, kFloatingBus, {}}, Case{0xFFFF, kFloatingBus, {}}}) {
    space->Out(c.port, 0x3C);
    EXPECT_EQ(space->In(c.port), c.read) << Hex(c.port);
    EXPECT_EQ(calls_.calls, c.calls) << Hex(c.port);
    calls_.calls.clear();
  }
}

}  // namespace
}  // namespace zelkor::testing
