#include "sim/sim_options.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <sstream>
#include <system_error>

namespace zelkor::sim {

namespace {

constexpr std::uint16_t kFirstBase = 0x378;
constexpr std::uint16_t kSecondBase = 0x278;
constexpr std::uint32_t k27C256Bytes = 32768;
constexpr std::uint32_t k27C512Bytes = 65536;

struct FaultHelp {
  const char* name;
  const char* meaning;
};

constexpr FaultHelp kFaultHelp[] = {
    {"counter-stuck", "the address counter's feedback line never changes"},
    {"counter-short-cycle", "the address counter skips a position, so its cycle ends early"},
    {"latch-q<N>-stuck0", "data latch output Q<N> (N 0..7) stuck low"},
    {"latch-q<N>-stuck1", "data latch output Q<N> (N 0..7) stuck high"},
    {"readback-y<N>-stuck0", "read-back selector output Y<N> (N 0..3) stuck low"},
    {"readback-y<N>-stuck1", "read-back selector output Y<N> (N 0..3) stuck high"},
};

std::uint32_t BytesOf(EpromType type) {
  return type == EpromType::C27C512 ? k27C512Bytes : k27C256Bytes;
}

const char* NameOf(EpromType type) {
  return type == EpromType::C27C512 ? "27C512" : "27C256";
}

bool ApplyFault(const std::string& name, BoardFaults& faults) {
  if (name == "counter-stuck") {
    faults.counter = CounterFault::FeedbackStuck;
    return true;
  }
  if (name == "counter-short-cycle") {
    faults.counter = CounterFault::ShortCycle;
    return true;
  }
  static const std::regex stuckPin("(latch-q([0-7])|readback-y([0-3]))-stuck([01])");
  std::smatch match;
  if (!std::regex_match(name, match, stuckPin)) return false;
  const StuckLevel level = match[4] == "1" ? StuckLevel::High : StuckLevel::Low;
  if (match[2].matched) {
    faults.latchPin = std::stoi(match[2]);
    faults.latchStuck = level;
  } else {
    faults.readbackPin = std::stoi(match[3]);
    faults.readbackStuck = level;
  }
  return true;
}

// False for a name that is no socket content; none is the empty socket.
bool ParseChip(const std::string& value, std::optional<EpromType>& chip) {
  if (value == "27c256" || value == "27C256") {
    chip = EpromType::C27C256;
  } else if (value == "27c512" || value == "27C512") {
    chip = EpromType::C27C512;
  } else if (value == "none") {
    chip.reset();
  } else {
    return false;
  }
  return true;
}

std::optional<std::uint16_t> ParseBase(const std::string& value) {
  if (value == "0x378" || value == "0X378") return kFirstBase;
  if (value == "0x278" || value == "0X278") return kSecondBase;
  return std::nullopt;
}

// Applies one option that takes a value; an error text when the value is wrong.
std::string ApplyValue(const std::string& option, const std::string& value, SimOptions& o) {
  if (option == "--chip") {
    if (!ParseChip(value, o.chip)) {
      return "--chip takes 27c256, 27c512 or none, not \"" + value + "\"";
    }
  } else if (option == "--base") {
    const auto base = ParseBase(value);
    if (!base) return "--base takes 0x378 or 0x278, not \"" + value + "\"";
    o.base = *base;
  } else if (option == "--fault") {
    if (!ApplyFault(value, o.faults)) return "unknown fault \"" + value + "\" (see --help)";
  } else if (option == "--image") {
    o.imagePath = value;
  } else if (option == "--state") {
    o.statePath = value;
  } else {
    o.tracePath = value;
  }
  return {};
}

bool TakesValue(const std::string& option) {
  return option == "--chip" || option == "--image" || option == "--state" || option == "--trace" ||
         option == "--fault" || option == "--base";
}

// The whole file, or an error text.
std::string ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return "cannot open \"" + path + "\"";
  bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  if (in.bad()) return "cannot read \"" + path + "\"";
  return {};
}

std::string LoadContent(const std::string& path, const char* what, EpromType type,
                        std::vector<std::uint8_t>& content) {
  if (const std::string error = ReadWholeFile(path, content); !error.empty()) {
    return std::string(what) + ": " + error;
  }
  if (content.size() != BytesOf(type)) {
    return std::string(what) + " \"" + path + "\" has " + std::to_string(content.size()) +
           " bytes; a " + NameOf(type) + " holds exactly " + std::to_string(BytesOf(type));
  }
  return {};
}

}  // namespace

ParsedOptions ParseSimOptions(const std::vector<std::string>& args) {
  ParsedOptions parsed;
  SimOptions& o = parsed.options;
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string option = args[i];
    std::optional<std::string> value;
    if (const auto eq = option.find('='); option.rfind("--", 0) == 0 && eq != std::string::npos) {
      value = option.substr(eq + 1);
      option.resize(eq);
    }
    if (option == "--help" || option == "-h") {
      o.help = true;
    } else if (option == "--no-board") {
      o.faults.absent = true;
    } else if (TakesValue(option)) {
      if (!value) {
        if (i + 1 >= args.size()) {
          parsed.error = option + " needs a value";
          return parsed;
        }
        value = args[++i];
      }
      parsed.error = ApplyValue(option, *value, o);
      if (!parsed.error.empty()) return parsed;
    } else {
      parsed.error = "unknown option \"" + args[i] + "\" (see --help)";
      return parsed;
    }
  }
  if (!o.chip && !o.imagePath.empty()) parsed.error = "--image needs a chip in the socket";
  return parsed;
}

std::string SimUsage(const std::string& programName) {
  std::ostringstream text;
  text << "Usage: " << programName << " [options]\n"
       << "The EPROM programmer program driving a simulated board.\n\n"
       << "  --chip 27c256|27c512|none  the chip in the socket (default 27c512, blank)\n"
       << "  --image FILE   the chip's starting content: 32768 or 65536 raw bytes\n"
       << "  --state FILE   chip content read at start if the file exists (instead of --image),\n"
       << "                 written back at exit\n"
       << "  --trace FILE   write every port access, one per line: time W|R port value\n"
       << "  --fault NAME   give the board a fault (may be repeated):\n";
  for (const FaultHelp& fault : kFaultHelp) {
    char line[128];
    std::snprintf(line, sizeof line, "      %-22s %s\n", fault.name, fault.meaning);
    text << line;
  }
  text << "  --no-board     nothing answers on the port\n"
       << "  --base 0x378|0x278  the port address where the board answers (default 0x378)\n"
       << "  --help         this text\n";
  return text.str();
}

AssembledBoard AssembleBoard(const SimOptions& options) {
  AssembledBoard assembled;
  assembled.board = std::make_unique<ProgrammerBoard>(options.base, 0, options.faults);
  if (!options.chip) return assembled;
  const EpromType type = *options.chip;
  std::vector<std::uint8_t> content(BytesOf(type), 0xFF);
  std::error_code ignored;
  if (!options.statePath.empty() && std::filesystem::exists(options.statePath, ignored)) {
    assembled.error = LoadContent(options.statePath, "state file", type, content);
  } else if (!options.imagePath.empty()) {
    assembled.error = LoadContent(options.imagePath, "image file", type, content);
  }
  if (!assembled.error.empty()) {
    assembled.board.reset();
    return assembled;
  }
  assembled.board->InsertChip(std::make_unique<Eprom>(type, std::move(content)));
  return assembled;
}

std::string SaveChipState(ProgrammerBoard& board, const std::string& statePath) {
  const Eprom* chip = board.Chip();
  if (statePath.empty() || !chip) return {};
  // Written beside the old state and renamed over it, so a failure never leaves half a chip.
  const std::string temporary = statePath + ".new";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    const auto& bytes = chip->Content();
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
      std::remove(temporary.c_str());
      return "cannot write the state file \"" + temporary + "\"";
    }
  }
  std::error_code error;
  std::filesystem::rename(temporary, statePath, error);
  if (error) {
    std::remove(temporary.c_str());
    return "cannot replace the state file \"" + statePath + "\": " + error.message();
  }
  return {};
}

}  // namespace zelkor::sim
