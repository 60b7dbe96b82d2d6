#include "link/ppdev_port.h"

#include <fcntl.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "fake_port_calls.h"

namespace zelkor::testing {
namespace {

using Calls = std::vector<std::string>;

TEST(ParseBaseAddress, TakesTheKernelsFirstDecimalNumberOnly) {
  struct Case {
    const char* text;
    std::optional<unsigned long> base;
  };
  for (const Case c :
       {Case{"888\t0\n", 0x378}, Case{"632\t1656\n", 0x278}, Case{"888\n", 0x378},
        Case{"888", 0x378}, Case{"956 0\n", 0x3BC}, Case{"", std::nullopt},
        Case{"\n", std::nullopt}, Case{"0x378\t0\n", std::nullopt}, Case{"888abc\n", std::nullopt},
        Case{"-888\n", std::nullopt}, Case{" 888\n", std::nullopt}, Case{"parport\n", std::nullopt},
        Case{"99999999999999999999999\t0\n", std::nullopt}}) {
    EXPECT_EQ(ParseBaseAddress(c.text), c.base) << '"' << c.text << '"';
  }
}

TEST(FindParportNumber, FindsThePortByItsBaseAddressInTheProcTree) {
  struct Port {
    const char* name;
    const char* baseAddr;
  };
  struct Case {
    const char* what;
    std::vector<Port> ports;
    std::uint16_t base;
    std::optional<int> number;
  };
  const std::vector<Case> cases{
      {"0x378 behind a port at 0x3BC",
       {{"parport0", "956\t0\n"}, {"parport1", "888\t1912\n"}},
       0x378,
       1},
      {"0x278 as the only port", {{"parport0", "632\t0\n"}}, 0x278, 0},
      {"the other standard base is not there", {{"parport0", "632\t0\n"}}, 0x378, std::nullopt},
      {"a malformed file is no port",
       {{"parport0", "0x378\n"}, {"parport1", "garbage"}},
       0x378,
       std::nullopt},
      {"an empty file is no port", {{"parport0", ""}}, 0x378, std::nullopt},
      {"the malformed one is skipped, the good one found",
       {{"parport0", "abc\n"}, {"parport2", "888\t0\n"}},
       0x378,
       2},
      {"the defaults and odd names are no ports",
       {{"default", "888\t0\n"}, {"parportx", "888\n"}, {"parport", "888\n"}},
       0x378,
       std::nullopt},
      {"a two-digit number", {{"parport12", "888\t0\n"}}, 0x378, 12},
      {"of two at one base the lowest number",
       {{"parport7", "888\n"}, {"parport3", "888\n"}},
       0x378,
       3},
  };
  for (const Case& c : cases) {
    FakeSystemTree tree;
    for (const Port& port : c.ports) tree.AddPort(port.name, port.baseAddr);
    EXPECT_EQ(FindParportNumber(tree.Proc(), c.base), c.number) << c.what;
  }
}

TEST(FindParportNumber, NoParportTreeMeansNoPort) {
  FakeSystemTree tree;
  EXPECT_EQ(FindParportNumber(tree.Proc(), 0x378), std::nullopt) << "no parport driver loaded";
  tree.AddEmptyParportDirectory();
  EXPECT_EQ(FindParportNumber(tree.Proc(), 0x378), std::nullopt) << "driver without ports";
  EXPECT_EQ(FindParportNumber(tree.Proc() / "missing", 0x378), std::nullopt);
}

TEST(ParportDevice, NamesTheNodeAfterThePortNumber) {
  EXPECT_EQ(ParportDevice("/dev", 1), std::filesystem::path("/dev/parport1"));
  EXPECT_EQ(ParportDevice("/tmp/x/dev", 12), std::filesystem::path("/tmp/x/dev/parport12"));
}

class PpdevPortTest : public ::testing::Test {
 protected:
  static constexpr const char* kDevice = "/dev/parport1";

  PpdevPortTest() { calls_.devices.insert(kDevice); }

  std::unique_ptr<PpdevPort> OpenAt(std::uint16_t base) {
    PpdevPort::Opening opening = PpdevPort::Open(calls_, kDevice, base);
    EXPECT_EQ(opening.claim, PpdevClaim::kClaimed);
    calls_.calls.clear();
    return std::move(opening.port);
  }

  FakePortCalls calls_;
};

TEST_F(PpdevPortTest, OpensReadWriteClaimsExclusivelyFirstAndDrivesTheDataLines) {
  const PpdevPort::Opening opening = PpdevPort::Open(calls_, kDevice, 0x378);
  ASSERT_EQ(opening.claim, PpdevClaim::kClaimed);
  ASSERT_NE(opening.port, nullptr);
  EXPECT_EQ(calls_.openFlags & O_ACCMODE, O_RDWR);
  // PPEXCL must come before PPCLAIM: the kernel then refuses a shared port instead of
  // sleeping in the claim until its other driver lets go.
  EXPECT_EQ(calls_.calls, (Calls{"open /dev/parport1", "PPEXCL /dev/parport1",
                                 "PPCLAIM /dev/parport1", "PPDATADIR /dev/parport1 0"}));
}

TEST_F(PpdevPortTest, RegistersMapToTheirRequestsAndForeignPortsFloat) {
  struct Case {
    std::uint16_t base;
    std::uint16_t port;
    Calls calls;
  };
  const std::vector<Case> writes{
      {0x378, 0x378, {"PPWDATA /dev/parport1 A5"}},
      {0x378, 0x37A, {"PPWCONTROL /dev/parport1 A5"}},
      {0x378, 0x379, {}},  // the status register takes no write
      {0x378, 0x37B, {}},
      {0x378, 0x377, {}},
      {0x378, 0x278, {}},
      {0x278, 0x278, {"PPWDATA /dev/parport1 A5"}},
      {0x278, 0x27A, {"PPWCONTROL /dev/parport1 A5"}},
      {0x278, 0x378, {}},
      {0x278, 0x37A, {}},
  };
  for (const Case& c : writes) {
    std::unique_ptr<PpdevPort> port = OpenAt(c.base);
    port->Out(c.port, 0xA5);
    EXPECT_EQ(calls_.calls, c.calls) << "write to " << Hex(c.port) << " at base " << Hex(c.base);
  }
  calls_.status = 0x5A;
  const std::vector<Case> reads{
      {0x378, 0x379, {"PPRSTATUS /dev/parport1"}},
      {0x378, 0x378, {}},  // the output registers are never read through the kernel
      {0x378, 0x37A, {}},
      {0x378, 0x279, {}},
      {0x278, 0x279, {"PPRSTATUS /dev/parport1"}},
      {0x278, 0x379, {}},
  };
  for (const Case& c : reads) {
    std::unique_ptr<PpdevPort> port = OpenAt(c.base);
    const std::uint8_t expected = c.calls.empty() ? kFloatingBus : 0x5A;
    EXPECT_EQ(port->In(c.port), expected) << "read of " << Hex(c.port);
    EXPECT_EQ(calls_.calls, c.calls) << "read of " << Hex(c.port) << " at base " << Hex(c.base);
  }
}

TEST_F(PpdevPortTest, EveryByteReachesTheKernelAndComesBackUnchanged) {
  std::unique_ptr<PpdevPort> port = OpenAt(0x378);
  for (unsigned value = 0; value <= 0xFF; ++value) {
    calls_.calls.clear();
    port->Out(0x378, static_cast<std::uint8_t>(value));
    port->Out(0x37A, static_cast<std::uint8_t>(value));
    calls_.status = static_cast<std::uint8_t>(value);
    const std::uint8_t status = port->In(0x379);
    ASSERT_EQ(calls_.calls,
              (Calls{"PPWDATA /dev/parport1 " + Hex(value),
                     "PPWCONTROL /dev/parport1 " + Hex(value), "PPRSTATUS /dev/parport1"}));
    ASSERT_EQ(status, value) << "the status byte is the register's, no bit inverted";
  }
}

TEST_F(PpdevPortTest, AFailedStatusReadFloats) {
  std::unique_ptr<PpdevPort> port = OpenAt(0x378);
  calls_.status = 0x00;
  calls_.ioctlErrors[PPRSTATUS] = EFAULT;
  EXPECT_EQ(port->In(0x379), kFloatingBus);
}

TEST_F(PpdevPortTest, DestructionReleasesTheClaimThenClosesAndWritesNothing) {
  std::unique_ptr<PpdevPort> port = OpenAt(0x378);
  port.reset();
  EXPECT_EQ(calls_.calls, (Calls{"PPRELEASE /dev/parport1", "close /dev/parport1"}));
  EXPECT_TRUE(calls_.OpenDescriptors().empty());
}

TEST_F(PpdevPortTest, APortAnotherDriverHoldsIsBusyAndTheDeviceIsClosed) {
  // With PPEXCL the kernel refuses the registration when lp or another client is registered
  // on the port: PPCLAIM fails with ENXIO instead of sleeping.
  calls_.claimErrors[kDevice] = ENXIO;
  const PpdevPort::Opening opening = PpdevPort::Open(calls_, kDevice, 0x378);
  EXPECT_EQ(opening.claim, PpdevClaim::kBusy);
  EXPECT_EQ(opening.port, nullptr);
  EXPECT_EQ(calls_.calls, (Calls{"open /dev/parport1", "PPEXCL /dev/parport1",
                                 "PPCLAIM /dev/parport1", "close /dev/parport1"}))
      << "an unclaimed device is not released";
  EXPECT_TRUE(calls_.OpenDescriptors().empty());
}

TEST_F(PpdevPortTest, ADeviceThatCannotBeHadIsUnavailableAndLeftClosed) {
  struct Case {
    const char* what;
    std::string path;
    int openError;
    unsigned long failingRequest;
    Calls calls;
  };
  const std::vector<Case> cases{
      {"no device node", "/dev/parport9", 0, 0, {"open /dev/parport9"}},
      {"no permission", kDevice, EACCES, 0, {"open /dev/parport1"}},
      {"not a ppdev device",
       kDevice,
       0,
       PPEXCL,
       {"open /dev/parport1", "PPEXCL /dev/parport1", "close /dev/parport1"}},
      {"data direction refused",
       kDevice,
       0,
       PPDATADIR,
       {"open /dev/parport1", "PPEXCL /dev/parport1", "PPCLAIM /dev/parport1",
        "PPDATADIR /dev/parport1 0", "PPRELEASE /dev/parport1", "close /dev/parport1"}},
  };
  for (const Case& c : cases) {
    FakePortCalls calls;
    calls.devices.insert(kDevice);
    if (c.openError != 0) calls.openErrors[c.path] = c.openError;
    if (c.failingRequest != 0) calls.ioctlErrors[c.failingRequest] = ENOTTY;
    const PpdevPort::Opening opening = PpdevPort::Open(calls, c.path, 0x378);
    EXPECT_EQ(opening.claim, PpdevClaim::kUnavailable) << c.what;
    EXPECT_EQ(opening.port, nullptr) << c.what;
    EXPECT_EQ(calls.calls, c.calls) << c.what;
    EXPECT_TRUE(calls.OpenDescriptors().empty()) << c.what;
  }
}

TEST_F(PpdevPortTest, ProbeClaimsAndLetsGoWithoutTouchingARegister) {
  EXPECT_EQ(PpdevPort::Probe(calls_, kDevice), PpdevClaim::kClaimed);
  EXPECT_EQ(calls_.calls,
            (Calls{"open /dev/parport1", "PPEXCL /dev/parport1", "PPCLAIM /dev/parport1",
                   "PPRELEASE /dev/parport1", "close /dev/parport1"}));
  calls_.calls.clear();
  calls_.claimErrors[kDevice] = ENXIO;
  EXPECT_EQ(PpdevPort::Probe(calls_, kDevice), PpdevClaim::kBusy);
  EXPECT_TRUE(calls_.OpenDescriptors().empty());
}

// The operating system's own calls on files that are no ppdev device: refused at once.
TEST(PpdevPortOnThisSystem, NonDevicesAreUnavailableWithoutWaiting) {
  FakeSystemTree tree;
  const std::filesystem::path plainFile = tree.Dev() / "parport0";
  std::ofstream(plainFile) << "not a device";
  for (const std::filesystem::path& path : {tree.Dev() / "parport5", plainFile}) {
    const PpdevPort::Opening opening = PpdevPort::Open(SystemPortCalls(), path.string(), 0x378);
    EXPECT_EQ(opening.claim, PpdevClaim::kUnavailable) << path;
    EXPECT_EQ(opening.port, nullptr) << path;
  }
}

}  // namespace
}  // namespace zelkor::testing
