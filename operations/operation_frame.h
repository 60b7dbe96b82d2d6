// The frame every chip operation runs in: the opening with its board search, the chip's
// power-up, the 16384-step address scan with its status line and gauge, the counting check,
// and the closing. The operations compose these phases; the scan's variants are parameters.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "link/chip_geometry.h"
#include "link/line_protocol.h"
#include "link/operator_feedback.h"

namespace zelkor {

inline constexpr const char* kInitialisingText = "Инициализация...";
inline constexpr const char* kCountErrorText = "Ошибка счета.";
inline constexpr const char* kReadyText = "Готов";

inline constexpr int kStatusEverySteps = 256;

// What an operation works with: the board, the operator and the window's fields it uses.
struct OperationContext {
  LineProtocol& line;
  OperatorFeedback& feedback;
  const Chip& chipType;
  bool& lastStepChanged;
};

// The access made at one sub-address, given its scan value; false stops the scan at once.
using SubAddressAccess = std::function<bool(std::uint16_t scanValue)>;

struct ScanVariant {
  std::string statusPrefix;
  bool statusEvery256 = true;
  bool outputsOnAtStepStart = true;
  bool closingStatusLine = true;
  SubAddressAccess access;
};

enum class ScanOutcome { Completed, AccessStopped, CountError };

// ScanIndex x StepBytes as four upper-case hexadecimal digits: the bytes handled so far.
std::string ProgressAddress(int scanIndex, int stepBytes);

// Window disabled, hourglass, "Инициализация...", board search; false when no board answered.
bool OpenOperation(OperationContext& op);

// Supply 5 V with its settle, chip enable low, counter synchronised, gauge range 16383.
void PowerUpForReading(OperationContext& op);

ScanOutcome RunAddressScan(OperationContext& op, const ScanVariant& variant);

// Default cursor, gauge 0, "Готов", window enabled; the operation's power-down follows.
void CloseOperation(OperationContext& op);

// The power-down of the operations that only read: programming voltage, then supply, off.
void PowerDownAfterReading(OperationContext& op);

}  // namespace zelkor
