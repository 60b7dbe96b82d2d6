// The simulated board's command line: what sits in the socket, what the chip holds, where
// the board answers and which faults it has, and the files the run reads and writes.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "sim/eprom.h"
#include "sim/programmer_board.h"

namespace zelkor::sim {

inline constexpr int kExitBadOptions = 2;

struct SimOptions {
  std::optional<EpromType> chip = EpromType::C27C512;  // nothing: an empty socket
  std::string imagePath;                               // the chip's starting content
  std::string statePath;                               // read at start if present, written at exit
  std::string tracePath;                               // every port access, one per line
  std::uint16_t base = 0x378;
  BoardFaults faults;
  bool help = false;
};

struct ParsedOptions {
  SimOptions options;
  std::string error;  // empty when the command line is good
};

// args excludes the program name.
ParsedOptions ParseSimOptions(const std::vector<std::string>& args);

// The text of --help, with one line for each option and each fault.
std::string SimUsage(const std::string& programName);

struct AssembledBoard {
  std::unique_ptr<ProgrammerBoard> board;
  std::string error;  // empty when the board is ready
};

// The board with its chip, loaded from the state file when it exists, else from the image.
AssembledBoard AssembleBoard(const SimOptions& options);

// Writes the chip in the socket to the state file, replacing it whole or not at all; an
// empty text on success.
std::string SaveChipState(ProgrammerBoard& board, const std::string& statePath);

}  // namespace zelkor::sim
