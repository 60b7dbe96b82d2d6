#include "operations/operation_frame.h"

#include <cstdio>

namespace zelkor {

namespace {

void ShowProgress(OperationContext& op, const ScanVariant& variant, int scanIndex, int stepBytes) {
  op.feedback.StatusLine(variant.statusPrefix + ProgressAddress(scanIndex, stepBytes));
}

void SelectSubAddress(LineProtocol& line, const SubAddress& sub) {
  for (const LineCall& call : sub.Calls()) {
    if (call.line == TopLine::A15) {
      line.SetA15(call.high);
    } else {
      line.SetA14(call.high);
    }
  }
}

}  // namespace

std::string ProgressAddress(int scanIndex, int stepBytes) {
  char digits[8];
  std::snprintf(digits, sizeof digits, "%04X",
                static_cast<unsigned>(scanIndex * stepBytes) & 0xFFFFu);
  return digits;
}

bool OpenOperation(OperationContext& op) {
  op.feedback.SetWindowEnabled(false);
  op.feedback.SetHourglass(true);
  op.feedback.StatusLine(kInitialisingText);
  return op.line.DetectProgrammer();
}

void PowerUpForReading(OperationContext& op) {
  op.line.SetVcc(kVolts5);
  op.line.SetCeLine(false);
  op.line.SyncCounter();
  op.feedback.SetGaugeMax(kLastScanIndex);
}

ScanOutcome RunAddressScan(OperationContext& op, const ScanVariant& variant) {
  const Chip chip = op.chipType;
  const int stepBytes = StepBytes(chip);
  for (int scanIndex = 0; scanIndex < kScanSteps; ++scanIndex) {
    if (scanIndex % kStatusEverySteps == 0) {
      if (variant.statusEvery256) ShowProgress(op, variant, scanIndex, stepBytes);
      op.feedback.SetGaugePosition(scanIndex);
    }
    if (variant.outputsOnAtStepStart) op.line.SetChipOutputs(true);
    for (const SubAddress& sub : SubAddresses(chip)) {
      SelectSubAddress(op.line, sub);
      if (!variant.access(ScanValue(scanIndex, sub))) return ScanOutcome::AccessStopped;
    }
    op.line.SetChipOutputs(false);
    op.lastStepChanged = op.line.CounterStep();
  }
  // Only the last step must bring the counter's feedback round to where the scan began.
  if (!op.lastStepChanged) {
    op.feedback.ShowMessage(kCountErrorText);
    return ScanOutcome::CountError;
  }
  if (variant.closingStatusLine) {
    ShowProgress(op, variant, kLastScanIndex, stepBytes);
    op.feedback.SetGaugePosition(kLastScanIndex);
  }
  return ScanOutcome::Completed;
}

void CloseOperation(OperationContext& op) {
  op.feedback.SetHourglass(false);
  op.feedback.SetGaugePosition(0);
  op.feedback.StatusLine(kReadyText);
  op.feedback.SetWindowEnabled(true);
}

void PowerDownAfterReading(OperationContext& op) {
  op.line.SetVpp(kVolts0);
  op.line.SetVcc(kVolts0);
}

}  // namespace zelkor
